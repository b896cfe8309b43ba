// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The loaded language put on the screen: a dialog rewrites its title and control texts
// from the DIALOG texts as the last step of its opening, and the main window's popup menu
// is rewritten from the MENU texts each time it is shown.
class QMenu;
class QWidget;

namespace ui {

// Language commands: the item of the language at index i of the available names has the
// command id 45400 + i; only ids up to 46399 are taken as language commands.
inline constexpr int kFirstLanguageCommand = 45400;
inline constexpr int kLastLanguageCommand = 46399;

}  // namespace ui

// Sets the dialog's title and every control's text that the language has a DIALOG text
// for, and puts the interface font on each control it rewrote. Edit fields, lists and
// spin boxes are left alone, and so is everything without a text. False, changing
// nothing, when there is no language file.
bool TranslateDialog(QWidget* dialog, int dialogId);

// Rewrites the captions of `menu` (menu resource `resourceId`: top-level items, each a
// popup) from the MENU texts. A popup below the top level takes the id resourceId * 65536
// + k, k counting such popups depth first from 0. False when there is no language file.
bool TranslateMenu(QMenu* menu, int resourceId);

// Replaces the placeholder of the first popup's first submenu (the Language submenu) by
// one checkable item per available language, the current one checked, then translates
// the menu as resource 161.
void FillLanguageMenu(QMenu* menu);

// The language command `commandId`: loads that language, retranslates `mainWindow`
// (dialog 102) and asks, in the new language, to restart the program. False for an id
// that is no language command.
bool OnLanguageCommand(QWidget* mainWindow, int commandId);

// The Font command: the font dialog opened on the interface font; on OK the chosen font
// becomes the interface font, is stored for the current language and is put on the main
// window's translated controls at once. Cancel changes nothing.
void OnFontCommand(QWidget* mainWindow);
