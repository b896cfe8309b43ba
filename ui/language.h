// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's languages: the language files found in the language folder, the one
// loaded, and its texts by id. There is one object, theLanguage, for the whole run, used
// on the user-interface thread only.
//
// A language file is <root>/language/<name>.ini; its name is the language's name as the
// user sees it. Its DIALOG, MENU and STRING sections give the texts of the keys of the
// program's text key table. An empty or missing value means "no translation": the
// built-in English text stays.
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "ui/interface_font.h"
#include "ui/language_file.h"
#include "ui/text_lookup.h"

namespace ui {
class ValueStore;
}

// The folder that holds the language folder: the executable's folder, unless its parent
// holds language/English.ini (a program run from a bin folder of a source tree).
QString LanguageRootDirectory();
// The same rule for an executable in `executableDirectory`.
QString LanguageRootDirectoryFor(const QString& executableDirectory);

struct TextEntry {
    int id;
    QString text;
};

class CLanguage : public ui::Translations {
public:
    CLanguage() = default;
    ~CLanguage() override;
    CLanguage(const CLanguage&) = delete;
    CLanguage& operator=(const CLanguage&) = delete;

    // Where the interface font of each language is kept (not owned); without one every
    // language has the default font and a chosen font is not remembered.
    void setSettings(ui::ValueStore* settings) { settings_ = settings; }

    // Finds the language files below `rootDirectory` and loads `name` (or English when no
    // file has that name). False, loading nothing, when there is no language file.
    bool Init(const QString& rootDirectory, const QString& name);
    bool EnumerateLanguages();
    // Loads `name` when a file has that name (without regard to case), else "english".
    bool Select(const QString& name);
    bool Load(const QString& name);

    struct Recognition {
        bool recognised = false;
        QString localeName;  // the lower-cased abbreviation, or "english"
        int primaryLanguage = 0;
        int subLanguage = 0;
        int ansiCodePage = 0;
    };
    // Recognises a language name or abbreviation, its encoding suffix cut as the current
    // encoding kind says. Pure: the message for an unknown name is Load's.
    Recognition RecogniseLanguage(const QString& name) const;

    QString CurrentName() const { return currentName_; }
    int AvailableCount() const { return int(availableNames_.size()); }
    QString AvailableName(int index) const { return availableNames_.value(index); }
    const QStringList& availableNames() const { return availableNames_; }
    const QString& rootDirectory() const { return rootDirectory_; }
    const QString& languageFilePath() const { return languageFilePath_; }
    ui::EncodingKind encodingKind() const { return encodingKind_; }
    int primaryLanguage() const { return primaryLanguage_; }
    int subLanguage() const { return subLanguage_; }
    // The language identifier the loaded language sets for the program's thread.
    int localeIdentifier() const { return primaryLanguage_ | (subLanguage_ << 10); }

    QString MenuText(int id) const;
    QString DialogText(int id) const;
    QString StringText(int id) const;
    QString DialogTextOrString(int id) const;

    // ui::Translations, for the program-wide lookups StringText and DialogTextOrString.
    QString stringText(int id) const override;
    QString dialogText(int id) const override;

    // The interface font (see interface_font.h): made from the current language's stored
    // values at every load; empty until then, or when the values make no font.
    bool CreateInterfaceFont();
    void SaveInterfaceFont();
    const std::optional<QFont>& interfaceFont() const { return interfaceFont_; }
    const ui::LogicalFont& logicalFont() const { return logicalFont_; }
    // Makes `font` the interface font (the Font command); false when no font results.
    bool setInterfaceFont(const ui::LogicalFont& font);

private:
    static QString firstText(const std::vector<TextEntry>& list, int id);
    QString fileNameOf(const QString& name) const;

    QString currentName_ = QStringLiteral("english");
    QStringList availableNames_;
    QStringList fileNames_;  // the file of each available name, as it is spelled on disk
    std::vector<TextEntry> menuTexts_;
    std::vector<TextEntry> stringTexts_;
    std::vector<TextEntry> dialogTexts_;
    QString rootDirectory_;
    int subLanguage_ = 1;
    int primaryLanguage_ = 9;
    QString languageFilePath_;
    ui::EncodingKind encodingKind_ = ui::EncodingKind::Ansi;
    std::optional<QFont> interfaceFont_;
    ui::LogicalFont logicalFont_;
    ui::ValueStore* settings_ = nullptr;
};

extern CLanguage theLanguage;
