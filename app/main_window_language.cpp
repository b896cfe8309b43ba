// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's language commands: its texts in the current language, the Font
// command and the switch to another language.
#include "app/control_ids.h"
#include "app/main_window.h"
#include "ui/language.h"
#include "ui/translation.h"

void CSlidemintDlg::translateTexts() {
    TranslateDialog(this, ids::kMainDialog);
}

void CSlidemintDlg::onFont() {
    OnFontCommand(this);
}

void CSlidemintDlg::onSelectLanguage(int index) {
    if (OnLanguageCommand(this, ids::kFirstLanguageCommand + index))
        currentLanguage_ = theLanguage.CurrentName();
}
