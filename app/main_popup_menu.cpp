// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_popup_menu.h"

#include <QMenu>
#include <memory>

#include "app/control_ids.h"
#include "ui/translation.h"

QMenu* loadMainPopupMenu(QWidget* owner) {
    auto* menu = new QMenu(owner);
    QMenu* popup = menu->addMenu(QStringLiteral("PopupMenu"));
    QMenu* language = popup->addMenu(QStringLiteral("Language"));
    language->addSeparator();  // placeholder until the languages are filled in
    popup->addAction(QStringLiteral("Font"))->setProperty(ids::kControlIdProperty, ids::kPopupFont);
    popup->addAction(QStringLiteral("About"))
        ->setProperty(ids::kControlIdProperty, ids::kPopupAbout);
    return menu;
}

int ShowMainPopupMenu(QWidget* window, const QPoint& globalPos) {
    const std::unique_ptr<QMenu> menu(loadMainPopupMenu(window));
    FillLanguageMenu(menu.get());
    QMenu* popup = menu->actions().first()->menu();
    QAction* chosen = popup->exec(globalPos);
    return chosen ? chosen->property(ids::kControlIdProperty).toInt() : 0;
}
