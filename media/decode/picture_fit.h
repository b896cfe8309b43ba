// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/timeline/media_type.h"

namespace media::decode {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

// The shape of a decoded picture as it is meant to be seen: its pixel aspect ratio and
// its rotation applied.
struct DisplayShape {
    int codedWidth = 0;
    int codedHeight = 0;
    int sarNum = 1, sarDen = 1;  // sample aspect ratio; 0 or less means square pixels
    int rotation = 0;            // clockwise degrees
    double displayAspect() const;
};

// Where the picture goes in a frame of width x height. Stretch fills the frame; preserve
// aspect ratio centres the largest rectangle of the picture's shape. Offsets and sizes are
// even (the chroma planes are half size), unless the frame's own size is odd.
Rect fitPicture(const DisplayShape& shape, int width, int height, StretchMode mode);

}  // namespace media::decode
