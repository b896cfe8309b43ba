// SPDX-License-Identifier: GPL-3.0-or-later
#include "effect_test_support.h"

#include <cstring>

#include "timeline/transition_catalogue.h"

namespace effecttest {

std::vector<NamedParams> allTransitions(std::uint32_t seed) {
    using timeline::TransitionCatalogue;
    std::vector<NamedParams> all;
    for (int i = 1; i < TransitionCatalogue::kCount; ++i)
        all.push_back({std::to_string(i) + " " + std::string(TransitionCatalogue::menuName(i)),
                       {std::string(TransitionCatalogue::effectClass(i)),
                        TransitionCatalogue::maskNum(i), seed}});
    return all;
}

bool samePixels(const media::Frame& x, const media::Frame& y) {
    if (x.width() != y.width() || x.height() != y.height()) return false;
    for (int p = 0; p < media::Frame::kPlanes; ++p)
        for (int r = 0; r < x.planeHeight(p); ++r)
            if (std::memcmp(x.row(p, r), y.row(p, r), static_cast<std::size_t>(x.planeWidth(p))) !=
                0)
                return false;
    return true;
}

media::Frame solid(int width, int height, std::uint8_t luma) {
    media::Frame f(width, height);
    f.fill(luma, 128, 128);
    return f;
}

}  // namespace effecttest
