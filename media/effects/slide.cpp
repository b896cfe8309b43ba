// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <cstring>

#include "media/effects/frame_ops.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

void copySpan(const std::uint8_t* src, std::uint8_t* dst, int n) {
    if (n > 0 && src != dst) std::memcpy(dst, src, static_cast<std::size_t>(n));
}

// B moves in from the left edge and covers A, which stays where it is.
class Slide final : public TransitionEffect {
public:
    void render(const Frame& a, const Frame& b, double progress, Frame& out) const override {
        if (!sameSize(a, b, out)) return;
        if (!(progress > 0.0)) return copyPixels(a, out);
        if (progress >= 1.0) return copyPixels(b, out);
        const int shown = static_cast<int>(std::lround(progress * out.width()));  // columns of B
        for (int p = 0; p < Frame::kPlanes; ++p) {
            const int w = out.planeWidth(p);
            const int n = std::min(w, p == 0 ? shown : (shown + 1) / 2);
            for (int y = 0; y < out.planeHeight(p); ++y) {
                std::uint8_t* o = out.row(p, y);
                copySpan(a.row(p, y) + n, o + n, w - n);
                copySpan(b.row(p, y) + (w - n), o, n);  // B's right-hand part leads
            }
        }
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makeSlide() {
    return std::make_unique<Slide>();
}

}  // namespace media::effects
