// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts by string id, in the current language. Until a language is loaded (or when its
// text is empty) the built-in English text is given.
#include <QString>

namespace ui {

// What a loaded language answers; an empty text means "no translation".
class Translations {
public:
    virtual ~Translations() = default;
    virtual QString stringText(int id) const = 0;  // STRING section
    virtual QString dialogText(int id) const = 0;  // DIALOG section
};

// Installs the loaded language (not owned); nullptr goes back to the built-in texts.
void setTranslations(const Translations* translations);
// The installed language, or nullptr.
const Translations* currentTranslations();

}  // namespace ui

// The text of string `id`: the translation, or the built-in text, or "" for an unknown id.
QString StringText(int id);

// The dialog text with that id when the language has one, otherwise the built-in string.
QString DialogTextOrString(int id);
