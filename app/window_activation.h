// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Brings the window forward for a later start of the program, passing on the token the
// desktop gave that start, so that the desktop lets the window take the focus (Wayland's
// activation token, X11's start-up id with the time of the user's action) and ends that
// start's busy cursor.
#include <QByteArray>

class QWidget;

void bringForward(QWidget* window, const QByteArray& activationToken);
