// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media/test_pictures.h"

#include <vector>

namespace testmedia {
namespace {

template <typename Paint>
media::Frame draw(int width, int height, Paint paint) {
    if (width <= 0 || height <= 0) return {};
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            paint(x, y, p);
        }
    return media::Frame::fromRgb24(rgb.data(), width, height, width * 3);
}

}  // namespace

media::Frame pictureA(int width, int height) {
    const int cell = width >= 48 ? width / 12 : 4;
    return draw(width, height, [&](int x, int y, std::uint8_t* p) {
        const bool line = x % cell == 0 || y % cell == 0;
        const int shade = 255 * x / (width > 1 ? width - 1 : 1);
        p[0] = static_cast<std::uint8_t>(line ? 170 : 10 + shade / 6);
        p[1] = static_cast<std::uint8_t>(line ? 200 : 40 + shade / 3);
        p[2] = static_cast<std::uint8_t>(line ? 255 : 140 + shade / 3);
    });
}

media::Frame pictureB(int width, int height) {
    const int band = width >= 48 ? width / 16 : 3;
    return draw(width, height, [&](int x, int y, std::uint8_t* p) {
        const bool stripe = (x + y) / band % 2 == 0;
        const int shade = 255 * y / (height > 1 ? height - 1 : 1);
        p[0] = static_cast<std::uint8_t>(stripe ? 250 : 150 + shade / 3);
        p[1] = static_cast<std::uint8_t>(stripe ? 150 - shade / 4 : 60 + shade / 8);
        p[2] = static_cast<std::uint8_t>(stripe ? 40 : 10);
    });
}

}  // namespace testmedia
