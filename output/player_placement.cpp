// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/player_placement.h"

#include <algorithm>

PlayerGeometry fitPlayerWindow(const QRect& workArea, QPoint wanted, QSize picture,
                               const QMargins& frame) {
    const int decorationWidth = frame.left() + frame.right();
    const int decorationHeight = frame.top() + frame.bottom();
    const QSize room(std::max(1, workArea.width() - decorationWidth),
                     std::max(1, workArea.height() - decorationHeight));
    QSize client = picture;
    if (client.width() > room.width() || client.height() > room.height())
        client = picture.scaled(room, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const QSize outer(client.width() + decorationWidth, client.height() + decorationHeight);
    // Moved in from the right and bottom edges first, so that the top-left corner, with the
    // caption and its close box, is the part that stays on screen.
    int x = std::min(wanted.x(), workArea.left() + workArea.width() - outer.width());
    int y = std::min(wanted.y(), workArea.top() + workArea.height() - outer.height());
    x = std::max(x, workArea.left());
    y = std::max(y, workArea.top());
    return {QPoint(x, y), client};
}
