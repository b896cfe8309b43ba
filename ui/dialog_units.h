// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog templates place controls in dialog units, which follow the dialog's font: a
// horizontal unit is a quarter of the font's average character width, a vertical unit an
// eighth of its height. Converting with the font's own metrics keeps a layout in
// proportion to its texts at any font size.
#include <QFont>
#include <QRect>

struct DialogRect {
    int x, y, width, height;
};

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    // For fixed metrics, as tests use them.
    DialogUnits(int averageCharWidth, int charHeight) : charWidth_(averageCharWidth), charHeight_(charHeight) {}

    int averageCharWidth() const { return charWidth_; }
    int charHeight() const { return charHeight_; }

    int toPixelsX(int x) const { return x * charWidth_ / 4; }
    int toPixelsY(int y) const { return y * charHeight_ / 8; }
    // Converts the corners, as the desktop does, so neighbouring controls keep their gaps.
    QRect toPixels(const DialogRect& r) const;

private:
    int charWidth_;
    int charHeight_;
};
