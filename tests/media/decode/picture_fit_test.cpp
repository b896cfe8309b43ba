// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/decode/picture_fit.h"

#include <gtest/gtest.h>

#include "media/decode/picture_scaler.h"

using namespace media;
using namespace media::decode;

TEST(PictureFit, PreserveAspectRatioCentresTheLargestEvenRectangle) {
    // 16:9 in 4:3: full width, bars above and below (405 rows round to 406, offsets stay even).
    EXPECT_EQ(fitPicture({1280, 720}, 720, 480, StretchMode::PreserveAspectRatio),
              (Rect{0, 36, 720, 406}));
    // 4:3 in 16:9: full height, bars left and right.
    EXPECT_EQ(fitPicture({640, 480}, 1280, 720, StretchMode::PreserveAspectRatio),
              (Rect{160, 0, 960, 720}));
    // The same shape fills the frame, whatever the scale.
    EXPECT_EQ(fitPicture({320, 240}, 352, 264, StretchMode::PreserveAspectRatio),
              (Rect{0, 0, 352, 264}));
    // Stretch always fills.
    EXPECT_EQ(fitPicture({1280, 720}, 720, 480, StretchMode::Stretch), (Rect{0, 0, 720, 480}));
}

TEST(PictureFit, PixelShapeAndRotationChangeTheShapeShown) {
    // 720 x 480 with 32:27 pixels is 16:9 on screen.
    DisplayShape dvd{720, 480, 32, 27, 0};
    EXPECT_NEAR(dvd.displayAspect(), 16.0 / 9.0, 1e-9);
    EXPECT_EQ(fitPicture(dvd, 640, 480, StretchMode::PreserveAspectRatio), (Rect{0, 60, 640, 360}));
    // A portrait phone clip stored landscape.
    DisplayShape phone{1920, 1080, 1, 1, 90};
    EXPECT_EQ(fitPicture(phone, 640, 480, StretchMode::PreserveAspectRatio),
              (Rect{184, 0, 270, 480}));
    // Unknown pixel shape is square; odd frames keep their full size.
    EXPECT_DOUBLE_EQ((DisplayShape{100, 50, 0, 0, 0}).displayAspect(), 2.0);
    EXPECT_EQ(fitPicture({161, 121}, 161, 121, StretchMode::PreserveAspectRatio),
              (Rect{0, 0, 161, 121}));
}

TEST(PictureRotation, EachQuarterTurnMovesTheCornersClockwise) {
    // A 4 x 2 picture whose luma values name their place: 10 * row + column.
    Frame src(4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) src.row(0, y)[x] = static_cast<std::uint8_t>(10 * y + x);
    auto lumaAt = [](const Frame& f, int x, int y) { return f.row(0, y)[x]; };

    Frame quarter(2, 4);
    rotateInto(src, 90, quarter, {0, 0, 2, 4});
    // Turned clockwise, the bottom-left corner comes to the top left.
    EXPECT_EQ(lumaAt(quarter, 0, 0), 10);
    EXPECT_EQ(lumaAt(quarter, 1, 0), 0);
    EXPECT_EQ(lumaAt(quarter, 1, 3), 3);
    EXPECT_EQ(lumaAt(quarter, 0, 3), 13);

    Frame half(4, 2);
    rotateInto(src, 180, half, {0, 0, 4, 2});
    EXPECT_EQ(lumaAt(half, 0, 0), 13);
    EXPECT_EQ(lumaAt(half, 3, 1), 0);

    Frame three(2, 4);
    rotateInto(src, 270, three, {0, 0, 2, 4});
    EXPECT_EQ(lumaAt(three, 0, 0), 3);
    EXPECT_EQ(lumaAt(three, 1, 0), 13);
    EXPECT_EQ(lumaAt(three, 0, 3), 0);

    // Into the middle of a larger frame, leaving the rest alone.
    Frame big(6, 8);
    rotateInto(src, 90, big, {2, 2, 2, 4});
    EXPECT_EQ(lumaAt(big, 2, 2), 10);
    EXPECT_EQ(lumaAt(big, 0, 0), Frame::kBlackY);
    EXPECT_EQ(lumaAt(big, 5, 7), Frame::kBlackY);
}
