// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A component's settings pages open in a window of their own: owned by the window that
// asked, captioned with the component's name, at that window's top-left corner.
class QDialog;
class QString;
class QWidget;

void preparePropertyFrame(QDialog& frame, QWidget* owner, const QString& caption);
