// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "media/core/frame.h"

using media::Frame;

TEST(Frame, OddSizesRoundChromaUpAndStartBlack) {
    Frame f(5, 3);
    EXPECT_EQ(f.planeWidth(1), 3);
    EXPECT_EQ(f.planeHeight(2), 2);
    EXPECT_GE(f.stride(0), 5);
    EXPECT_EQ(f.stride(0) % Frame::kAlign, 0);
    auto rgb = f.rgbAt(4, 2);
    EXPECT_LE(rgb[0] + rgb[1] + rgb[2], 3);
}

TEST(Frame, RgbRoundTripKeepsSolidColoursWithinRounding) {
    for (auto c : {std::array<int, 3>{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {128, 128, 128}, {255, 255, 255}}) {
        Frame f(7, 5);
        f.fillRgb(c[0], c[1], c[2]);
        auto rgb = f.toRgb24();
        Frame back = Frame::fromRgb24(rgb.data(), 7, 5, 21);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(rgb[i], c[i], 3);
            EXPECT_NEAR(back.rgbAt(6, 4)[i], c[i], 4);
        }
    }
}

TEST(Frame, CopiesSharePixelsUntilDeepCopied) {
    Frame a(4, 4);
    Frame shallow = a;
    Frame deep = media::deepCopy(a);
    a.fill(200, 100, 50);
    EXPECT_EQ(shallow.row(0, 0)[0], 200);
    EXPECT_EQ(deep.row(0, 0)[0], Frame::kBlackY);
}
