// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "media/effects/frame_ops.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// Where each output column of the stretched B takes its pixels: two neighbouring source
// columns and the weight of the right one, or -1 for a column that still shows A.
struct ColumnMap {
    std::vector<int> left;
    std::vector<int> weight;  // 0..256
};

ColumnMap mapColumns(int width, double progress) {
    ColumnMap m;
    m.left.assign(static_cast<std::size_t>(width), -1);
    m.weight.assign(static_cast<std::size_t>(width), 0);
    const double shown = progress * width;
    const double start = (width - shown) / 2.0;
    for (int x = 0; x < width; ++x) {
        const double centre = x + 0.5;
        if (centre < start || centre >= start + shown) continue;
        const double s = std::clamp((centre - start) / shown * width - 0.5, 0.0, width - 1.0);
        const int i = std::min(static_cast<int>(s), width - 1);
        m.left[static_cast<std::size_t>(x)] = i;
        m.weight[static_cast<std::size_t>(x)] =
            i + 1 < width ? static_cast<int>(std::lround((s - i) * 256)) : 0;
    }
    return m;
}

// B opens out from a vertical line through the middle, squeezed at first and reaching its
// full width at the end, over A.
class Stretch final : public TransitionEffect {
public:
    void render(const Frame& a, const Frame& b, double progress, Frame& out) const override {
        if (!sameSize(a, b, out)) return;
        if (!(progress > 0.0)) return copyPixels(a, out);
        if (progress >= 1.0) return copyPixels(b, out);
        for (int p = 0; p < Frame::kPlanes; ++p) {
            const int w = out.planeWidth(p);
            const ColumnMap m = mapColumns(w, progress);
            for (int y = 0; y < out.planeHeight(p); ++y) {
                const std::uint8_t* ra = a.row(p, y);
                const std::uint8_t* rb = b.row(p, y);
                std::uint8_t* o = out.row(p, y);
                for (int x = 0; x < w; ++x) {
                    const int i = m.left[static_cast<std::size_t>(x)];
                    if (i < 0) {
                        o[x] = ra[x];
                    } else {
                        const int wt = m.weight[static_cast<std::size_t>(x)];
                        o[x] = mix256(rb[i], rb[std::min(i + 1, w - 1)], wt);
                    }
                }
            }
        }
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makeStretch() {
    return std::make_unique<Stretch>();
}

}  // namespace media::effects
