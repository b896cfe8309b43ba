// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/decode/picture_fit.h"

#include <algorithm>
#include <cmath>

namespace media::decode {

double DisplayShape::displayAspect() const {
    if (codedWidth <= 0 || codedHeight <= 0) return 1.0;
    double sar = (sarNum > 0 && sarDen > 0) ? static_cast<double>(sarNum) / sarDen : 1.0;
    double aspect = codedWidth * sar / codedHeight;
    return (rotation == 90 || rotation == 270) ? 1.0 / aspect : aspect;
}

Rect fitPicture(const DisplayShape& shape, int width, int height, StretchMode mode) {
    Rect full{0, 0, width, height};
    if (mode == StretchMode::Stretch || width <= 0 || height <= 0) return full;
    const double frameAspect = static_cast<double>(width) / height;
    const double aspect = shape.displayAspect();
    auto even = [](double v) { return std::max(2, static_cast<int>(std::lround(v / 2.0)) * 2); };
    Rect r = full;
    // Within half a pixel of the frame's shape the picture simply fills it.
    if (aspect > frameAspect * (1.0 + 1.0 / width)) {
        r.height = std::min(height, even(width / aspect));
        r.y = ((height - r.height) / 2) & ~1;
    } else if (aspect < frameAspect * (1.0 - 1.0 / height)) {
        r.width = std::min(width, even(height * aspect));
        r.x = ((width - r.width) / 2) & ~1;
    }
    return r;
}

}  // namespace media::decode
