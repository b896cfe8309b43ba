// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <vector>

#include "media/effects/frame_ops.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// Replaces every block of `block` x `block` pixels of one plane by the average of A's and
// of B's pixels there, mixed by `weight` (0..256). Reads all of a block before writing it,
// so out may be a.
void pixelatePlane(const Frame& a, const Frame& b, int p, int block, int weight, Frame& out) {
    const int w = out.planeWidth(p), h = out.planeHeight(p);
    const int columns = (w + block - 1) / block;
    std::vector<int> sumA(static_cast<std::size_t>(columns)),
        sumB(static_cast<std::size_t>(columns));
    for (int y0 = 0; y0 < h; y0 += block) {
        const int y1 = std::min(h, y0 + block);
        std::fill(sumA.begin(), sumA.end(), 0);
        std::fill(sumB.begin(), sumB.end(), 0);
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* ra = a.row(p, y);
            const std::uint8_t* rb = b.row(p, y);
            for (int c = 0; c < columns; ++c) {
                int sa = 0, sb = 0;
                for (int x = c * block, x1 = std::min(w, x + block); x < x1; ++x)
                    sa += ra[x], sb += rb[x];
                sumA[static_cast<std::size_t>(c)] += sa;
                sumB[static_cast<std::size_t>(c)] += sb;
            }
        }
        for (int c = 0; c < columns; ++c) {
            const int x0 = c * block, x1 = std::min(w, x0 + block);
            const int n = (x1 - x0) * (y1 - y0);
            const int avgA = (sumA[static_cast<std::size_t>(c)] + n / 2) / n;
            const int avgB = (sumB[static_cast<std::size_t>(c)] + n / 2) / n;
            const std::uint8_t v = mix256(avgA, avgB, weight);
            for (int y = y0; y < y1; ++y) std::fill(out.row(p, y) + x0, out.row(p, y) + x1, v);
        }
    }
}

// A breaks up into blocks that grow until half time, the picture turns from A to B while
// the blocks are largest, and the blocks shrink again to reveal B sharp.
class Pixelate final : public TransitionEffect {
public:
    void render(const Frame& a, const Frame& b, double progress, Frame& out) const override {
        if (!sameSize(a, b, out)) return;
        if (!(progress > 0.0)) return copyPixels(a, out);
        if (progress >= 1.0) return copyPixels(b, out);
        const int largest = std::max(2, std::min(out.width(), out.height()) / 8);
        const double rise = 1.0 - std::abs(2.0 * progress - 1.0);
        int block = 1 + static_cast<int>(std::lround((largest - 1) * rise));
        if (block > 1) block += block & 1;  // even, so chroma blocks cover the same pixels
        const int weight =
            static_cast<int>(std::lround(std::clamp((progress - 0.4) / 0.2, 0.0, 1.0) * 256));
        for (int p = 0; p < Frame::kPlanes; ++p) {
            const int size = p == 0 ? block : std::max(1, block / 2);
            if (size == 1) {
                for (int y = 0; y < out.planeHeight(p); ++y)
                    blendRow(a.row(p, y), b.row(p, y), weight, out.row(p, y), out.planeWidth(p));
            } else {
                pixelatePlane(a, b, p, size, weight, out);
            }
        }
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makePixelate() {
    return std::make_unique<Pixelate>();
}

}  // namespace media::effects
