// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/translation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "ui/control_id.h"
#include "ui/language.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

namespace {

constexpr int kPopupMenuResource = 161;

bool keepsItsOwnText(const QWidget* control) {
    return qobject_cast<const QLineEdit*>(control) || qobject_cast<const QTextEdit*>(control) ||
           qobject_cast<const QPlainTextEdit*>(control) ||
           qobject_cast<const QAbstractItemView*>(control) ||
           qobject_cast<const QAbstractSpinBox*>(control) ||
           qobject_cast<const QComboBox*>(control);
}

// True when the control shows text that can be replaced.
bool setControlText(QWidget* control, const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
        return true;
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
        return true;
    }
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
        return true;
    }
    return false;
}

void translatePopup(QMenu* popup, int& popupCounter) {
    for (QAction* item : popup->actions()) {
        if (item->isSeparator()) continue;
        if (QMenu* submenu = item->menu()) {
            const QString text = theLanguage.MenuText(popupCounter++);
            if (!text.isEmpty()) item->setText(text);
            translatePopup(submenu, popupCounter);
            continue;
        }
        const QString text = theLanguage.MenuText(item->property(ui::kControlIdProperty).toInt());
        if (!text.isEmpty()) item->setText(text);
    }
}

}  // namespace

bool TranslateDialog(QWidget* dialog, int dialogId) {
    if (theLanguage.AvailableCount() == 0) return false;
    const std::optional<QFont>& font = theLanguage.interfaceFont();
    // The title bar is drawn by the window manager in its own font; the dialog's font would
    // only pass on to controls that have no translation, which keep their own.
    const QString title = theLanguage.DialogText(dialogId);
    if (!title.isEmpty()) dialog->setWindowTitle(title);

    const auto controls = dialog->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        const QVariant id = control->property(ui::kControlIdProperty);
        if (!id.isValid() || keepsItsOwnText(control)) continue;
        const QString text = theLanguage.DialogText(id.toInt());
        if (text.isEmpty()) continue;
        if (!setControlText(control, text)) continue;
        // Without an interface font the control gets the desktop's default font.
        control->setFont(font ? *font : QFont());
    }
    return true;
}

bool TranslateMenu(QMenu* menu, int resourceId) {
    if (theLanguage.AvailableCount() == 0) return false;
    int popupCounter = resourceId * 65536;
    for (QAction* item : menu->actions()) {
        if (item->isSeparator()) continue;
        if (QMenu* popup = item->menu()) translatePopup(popup, popupCounter);
    }
    return true;
}

void FillLanguageMenu(QMenu* menu) {
    const auto top = menu->actions();
    QMenu* firstPopup = top.isEmpty() ? nullptr : top.first()->menu();
    const auto items = firstPopup ? firstPopup->actions() : QList<QAction*>();
    QMenu* languages = items.isEmpty() ? nullptr : items.first()->menu();
    if (!languages) return;
    const auto placeholder = languages->actions();
    if (!placeholder.isEmpty()) languages->removeAction(placeholder.first());
    for (int i = 0; i < theLanguage.AvailableCount(); ++i) {
        const QString name = theLanguage.AvailableName(i);
        QString shown = name;
        QAction* item = languages->addAction(shown.replace(u'&', QLatin1String("&&")));
        item->setCheckable(true);
        item->setChecked(name.compare(theLanguage.CurrentName(), Qt::CaseInsensitive) == 0);
        item->setProperty(ui::kControlIdProperty, ui::kFirstLanguageCommand + i);
    }
    TranslateMenu(menu, kPopupMenuResource);
}

bool OnLanguageCommand(QWidget* mainWindow, int commandId) {
    const unsigned index = static_cast<unsigned>(commandId - ui::kFirstLanguageCommand);
    if (index > unsigned(ui::kLastLanguageCommand - ui::kFirstLanguageCommand)) return false;
    // An id past the languages found names none: nothing to switch to.
    if (index >= unsigned(theLanguage.AvailableCount())) return false;
    theLanguage.Select(theLanguage.AvailableName(int(index)));
    TranslateDialog(mainWindow, 102);
    ui::showMessage(mainWindow, StringText(145), StringText(108));
    return true;
}

void OnFontCommand(QWidget* mainWindow) {
    // Without an interface font (no language file, or values no font is made of) the dialog
    // starts from the default record.
    const std::optional<QFont> defaults = ui::makeFont(ui::LogicalFont{});
    const QFont initial =
        theLanguage.interfaceFont().value_or(defaults.value_or(mainWindow->font()));
    const std::optional<QFont> chosen = ui::fontChooser().chooseFont(mainWindow, initial);
    if (!chosen) return;
    theLanguage.setInterfaceFont(ui::describeFont(*chosen, theLanguage.logicalFont()));
    theLanguage.SaveInterfaceFont();
    TranslateDialog(mainWindow, 102);
}
