// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_lookup.h"

#include "res/string_table.h"

namespace ui {

namespace {
const Translations* current = nullptr;
}

void setTranslations(const Translations* translations) {
    current = translations;
}

const Translations* currentTranslations() {
    return current;
}

}  // namespace ui

QString StringText(int id) {
    if (ui::current) {
        QString text = ui::current->stringText(id);
        if (!text.isEmpty()) return text;
    }
    return QString::fromUtf8(res::builtInString(id));
}

QString DialogTextOrString(int id) {
    if (ui::current) {
        QString text = ui::current->dialogText(id);
        if (!text.isEmpty()) return text;
    }
    return QString::fromUtf8(res::builtInString(id));
}
