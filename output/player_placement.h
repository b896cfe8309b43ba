// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the preview player's window goes on screen. It opens at its usual place, just
// right of the work area's left edge and below its top, showing its picture at the
// picture's own size; where that would leave part of the window (frame and caption
// included) off the work area, the window is moved in, and if it is still too big its
// picture is scaled down, keeping its shape.
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

struct PlayerGeometry {
    QPoint framePosition;  // the outer top-left corner, frame included
    QSize client;          // the picture's area
};

// `wanted` is the frame's preferred top-left; `frame` the decoration around the client area.
PlayerGeometry fitPlayerWindow(const QRect& workArea, QPoint wanted, QSize picture,
                               const QMargins& frame);
