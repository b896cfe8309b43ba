// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The popup menu of the window background, menu resource 161: one top-level popup holding
// the "Language" submenu (its placeholder replaced by the available languages when it is
// shown), "Font" (32778) and "About" (32777). Every item carries its command id in the
// property "controlId".
class QMenu;
class QPoint;
class QWidget;

// A fresh copy of menu resource 161; the caller owns it.
QMenu* loadMainPopupMenu(QWidget* owner);

// Loads the menu, fills the Language submenu, translates it and shows its first popup at
// `globalPos`. Returns the command id chosen, 0 when none.
int ShowMainPopupMenu(QWidget* window, const QPoint& globalPos);
