// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/probe/display_rotation.h"

#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/display.h>
}

namespace media {

int rotationFromDisplayMatrix(const std::uint8_t* matrix, std::size_t size) {
    if (!matrix || size < 9 * sizeof(std::int32_t)) return 0;
    std::int32_t m[9];
    std::memcpy(m, matrix, sizeof m);  // side data carries no alignment promise
    // FFmpeg gives the angle counter-clockwise; players and users think clockwise.
    double ccw = av_display_rotation_get(m);
    if (!std::isfinite(ccw)) return 0;
    long degrees = std::lround(-ccw) % 360;
    if (degrees < 0) degrees += 360;
    return static_cast<int>(degrees);
}

}  // namespace media
