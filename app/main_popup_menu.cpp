#include "app/main_popup_menu.h"

#include "app/control_ids.h"

#include <QMenu>

QMenu* buildMainPopupMenu(QWidget* owner, const QStringList& languages, const QString& current) {
    auto* menu = new QMenu(owner);
    QMenu* language = menu->addMenu(QStringLiteral("Language"));
    language->menuAction()->setProperty(ids::kControlIdProperty, ids::kPopupMenu * 65536);
    const int capacity = ids::kLastLanguageCommand - ids::kFirstLanguageCommand + 1;
    for (int i = 0; i < languages.size() && i < capacity; ++i) {
        QAction* item = language->addAction(languages[i]);
        item->setCheckable(true);
        item->setChecked(languages[i].compare(current, Qt::CaseInsensitive) == 0);
        item->setProperty(ids::kControlIdProperty, ids::kFirstLanguageCommand + i);
    }
    menu->addAction(QStringLiteral("Font"))->setProperty(ids::kControlIdProperty, ids::kPopupFont);
    menu->addAction(QStringLiteral("About"))->setProperty(ids::kControlIdProperty, ids::kPopupAbout);
    return menu;
}
