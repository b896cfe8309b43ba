#pragma once
// The popup menu of the window background (menu 161): a "Language" submenu with the
// available languages, "Font" (32778) and "About" (32777). Every action carries its command
// id in the property "controlId".
#include <QStringList>

class QMenu;
class QWidget;

// `languages` fill the submenu in order, as commands 45400, 45401, ...; `current` (matched
// without regard to case) is checked. The caller owns the menu.
QMenu* buildMainPopupMenu(QWidget* owner, const QStringList& languages, const QString& current);
