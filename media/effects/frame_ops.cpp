// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/frame_ops.h"

#include <cstring>

namespace media::effects {

bool sameSize(const Frame& a, const Frame& b, const Frame& out) {
    if (a.empty() || b.empty() || out.empty()) return false;
    return a.width() == out.width() && a.height() == out.height() && b.width() == out.width() &&
           b.height() == out.height();
}

void copyPixels(const Frame& src, Frame& out) {
    for (int p = 0; p < Frame::kPlanes; ++p) {
        if (src.plane(p) == out.plane(p)) continue;
        const auto n = static_cast<std::size_t>(src.planeWidth(p));
        for (int y = 0; y < src.planeHeight(p); ++y) std::memcpy(out.row(p, y), src.row(p, y), n);
    }
}

void blendRow(const std::uint8_t* a, const std::uint8_t* b, int weight, std::uint8_t* out, int n) {
    for (int x = 0; x < n; ++x) out[x] = mix256(a[x], b[x], weight);
}

}  // namespace media::effects
