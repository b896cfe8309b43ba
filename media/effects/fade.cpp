#include "media/effects/fade.h"

#include <algorithm>

namespace media {

void FadeEffect::render(const Frame& a, const Frame& b, double progress, Frame& out) const {
    const int wb = static_cast<int>(std::clamp(progress, 0.0, 1.0) * 256.0 + 0.5);
    const int wa = 256 - wb;
    for (int p = 0; p < Frame::kPlanes; ++p) {
        const int w = a.planeWidth(p);
        for (int y = 0; y < a.planeHeight(p); ++y) {
            const std::uint8_t* ra = a.row(p, y);
            const std::uint8_t* rb = b.row(p, y);
            std::uint8_t* ro = out.row(p, y);
            for (int x = 0; x < w; ++x) ro[x] = static_cast<std::uint8_t>((ra[x] * wa + rb[x] * wb + 128) >> 8);
        }
    }
}

}  // namespace media
