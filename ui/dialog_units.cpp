// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog_units.h"

#include <QFontMetrics>

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The desktop's average width: the extent of the 52 Latin letters, rounded.
    const int extent = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    charWidth_ = qMax(1, (extent / 26 + 1) / 2);
    charHeight_ = qMax(1, metrics.height());
}

QRect DialogUnits::toPixels(const DialogRect& r) const {
    const int left = toPixelsX(r.x);
    const int top = toPixelsY(r.y);
    const int right = toPixelsX(r.x + r.width);
    const int bottom = toPixelsY(r.y + r.height);
    return QRect(left, top, right - left, bottom - top);
}
