// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/fade.h"

#include <algorithm>
#include <cmath>

#include "media/effects/frame_ops.h"

namespace media {

void FadeEffect::render(const Frame& a, const Frame& b, double progress, Frame& out) const {
    using namespace effects;
    if (!sameSize(a, b, out)) return;
    if (!(progress > 0.0)) return copyPixels(a, out);
    if (progress >= 1.0) return copyPixels(b, out);
    const int wb = static_cast<int>(std::lround(progress * 256.0));
    for (int p = 0; p < Frame::kPlanes; ++p)
        for (int y = 0; y < a.planeHeight(p); ++y)
            blendRow(a.row(p, y), b.row(p, y), wb, out.row(p, y), a.planeWidth(p));
}

}  // namespace media
