// SPDX-License-Identifier: GPL-3.0-or-later
// Known pixels of known patterns: each transition draws the shape its name promises.
#include <gtest/gtest.h>

#include "effect_test_support.h"
#include "media/effects/effect_classes.h"
#include "support/media/test_pictures.h"

using effecttest::samePixels;
using effecttest::solid;
using media::Frame;
namespace classid = media::effects::classid;

namespace {

constexpr int kW = 64, kH = 48;
constexpr std::uint8_t kA = 16, kB = 235;

// Renders `params` between black A and white B and returns the luma plane's frame.
Frame draw(const media::EffectParams& params, double progress, int w = kW, int h = kH) {
    Frame out(w, h);
    auto effect = media::createEffect(params);
    EXPECT_NE(effect, nullptr);
    if (effect) effect->render(solid(w, h, kA), solid(w, h, kB), progress, out);
    return out;
}

media::EffectParams wipe(std::optional<int> mask) {
    return {std::string(classid::kSmpteWipe), mask, 0};
}
media::EffectParams transform(std::string_view id) {
    return {std::string(id), std::nullopt, 0};
}

bool isB(const Frame& f, int x, int y) {
    return f.row(0, y)[x] == kB;
}
bool isA(const Frame& f, int x, int y) {
    return f.row(0, y)[x] == kA;
}

}  // namespace

TEST(WipePatterns, HorizontalWipeShowsBOnTheLeftHalfAtHalfTime) {
    const Frame f = draw(wipe(1), 0.5);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW / 2 - 2; ++x) EXPECT_TRUE(isB(f, x, y)) << x << "," << y;
        for (int x = kW / 2 + 2; x < kW; ++x) EXPECT_TRUE(isA(f, x, y)) << x << "," << y;
    }
    // The chroma planes follow the same edge.
    Frame a(kW, kH), b(kW, kH), out(kW, kH);
    a.fill(100, 60, 200);
    b.fill(100, 200, 60);
    media::createEffect(wipe(1))->render(a, b, 0.5, out);
    EXPECT_EQ(out.row(1, 10)[2], 200);
    EXPECT_EQ(out.row(1, 10)[kW / 2 - 2], 60);
}

TEST(WipePatterns, VerticalWipeComesFromTheTop) {
    const Frame f = draw(wipe(2), 0.25);
    EXPECT_TRUE(isB(f, 30, 2));
    EXPECT_TRUE(isA(f, 30, kH - 3));
}

TEST(WipePatterns, ShapesOpenFromTheCentre) {
    for (int mask : {101, 102, 113, 119, 120, 124, 127, 128, 130}) {
        const Frame early = draw(wipe(mask), 0.08);
        EXPECT_TRUE(isB(early, kW / 2, kH / 2)) << mask;
        for (auto [x, y] : {std::pair{0, 0}, {kW - 1, 0}, {0, kH - 1}, {kW - 1, kH - 1}})
            EXPECT_TRUE(isA(early, x, y)) << mask;
    }
    // The box keeps the picture's proportions: half-way it spans half of each side.
    const Frame box = draw(wipe(101), 0.5);
    EXPECT_TRUE(isB(box, kW / 2 + kW / 4 - 3, kH / 2));
    EXPECT_TRUE(isA(box, kW / 2 + kW / 4 + 3, kH / 2));
    EXPECT_TRUE(isB(box, kW / 2, kH / 2 + kH / 4 - 3));
    EXPECT_TRUE(isA(box, kW / 2, kH / 2 + kH / 4 + 3));
}

TEST(WipePatterns, FourCornersMeetInTheMiddle) {
    const Frame f = draw(wipe(7), 0.3);
    EXPECT_TRUE(isB(f, 1, 1));
    EXPECT_TRUE(isB(f, kW - 2, kH - 2));
    EXPECT_TRUE(isA(f, kW / 2, kH / 2));
}

TEST(WipePatterns, ClockHandsStartWhereTheirNamesSay) {
    // RadialWipe: a hand from twelve o'clock, sweeping clockwise.
    const Frame clock = draw(transform(classid::kRadialWipe), 0.05);
    EXPECT_TRUE(isB(clock, kW / 2 + 2, 2));
    EXPECT_TRUE(isA(clock, kW / 2 - 3, 2));
    EXPECT_TRUE(isA(clock, kW - 2, kH / 2));
    const Frame quarter = draw(transform(classid::kRadialWipe), 0.3);
    EXPECT_TRUE(isB(quarter, kW - 2, kH / 2 - 2));  // past three o'clock
    EXPECT_TRUE(isA(quarter, kW / 2, kH - 2));      // not yet six

    // Radial, left: pinned at the middle of the left edge, starting upwards.
    const Frame left = draw(wipe(224), 0.2);
    EXPECT_TRUE(isB(left, 2, 2));
    EXPECT_TRUE(isA(left, 2, kH - 3));
    // Radial, top-right corner: starts along the top edge.
    const Frame corner = draw(wipe(244), 0.2);
    EXPECT_TRUE(isB(corner, 2, 1));
    EXPECT_TRUE(isA(corner, kW - 2, kH - 2));
}

TEST(WipePatterns, WithoutAPatternTheWipeIsHorizontal) {
    const Frame horizontal = draw(wipe(1), 0.4);
    EXPECT_TRUE(samePixels(draw(wipe(std::nullopt), 0.4), horizontal));
    // A pattern this program does not draw falls back to the same default, never nothing.
    EXPECT_TRUE(samePixels(draw(wipe(9999), 0.4), horizontal));
    EXPECT_TRUE(samePixels(draw(wipe(-3), 0.4), horizontal));
}

TEST(WipePatterns, EveryCatalogueMaskIsItsOwnPattern) {
    // A mask number that silently fell back to the default would look like "Horizontal".
    const Frame horizontal = draw(wipe(1), 0.4);
    for (int mask : {2,   7,   22,  41,  43,  44,  45,  47,  48,  61,  64,  71,  72,  73, 74,
                     101, 102, 113, 119, 120, 124, 127, 128, 130, 224, 231, 244, 251, 301})
        EXPECT_FALSE(samePixels(draw(wipe(mask), 0.4), horizontal)) << mask;
}

TEST(TransformPatterns, CheckerBoardIsExactHalfWay) {
    const Frame f = draw(transform(classid::kCheckerBoard), 0.5);
    const int cell = kW / 8;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 8; ++c) {
            const int x = c * cell + cell / 2, y = r * cell + cell / 2;
            EXPECT_EQ(isB(f, x, y), (r + c) % 2 == 0) << c << "," << r;
        }
}

TEST(TransformPatterns, SlideMovesBInFromTheLeft) {
    const Frame a = testmedia::pictureA(kW, kH), b = testmedia::pictureB(kW, kH);
    Frame out(kW, kH);
    media::createEffect(transform(classid::kSlide))->render(a, b, 0.5, out);
    for (int y = 0; y < kH; y += 7) {
        EXPECT_EQ(out.row(0, y)[0], b.row(0, y)[kW / 2]);  // B's middle is at the left edge
        EXPECT_EQ(out.row(0, y)[kW / 2 - 1], b.row(0, y)[kW - 1]);  // B's right edge leads
        EXPECT_EQ(out.row(0, y)[kW / 2 + 1], a.row(0, y)[kW / 2 + 1]);
    }
}

TEST(TransformPatterns, StretchSqueezesAllOfBIntoTheMiddle) {
    const Frame a = testmedia::pictureA(kW, kH);
    Frame b(kW, kH);  // a ramp across, so each output column tells where in B it samples
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) b.row(0, y)[x] = static_cast<std::uint8_t>(16 + 3 * x);
    Frame out(kW, kH);
    media::createEffect(transform(classid::kStretch))->render(a, b, 0.5, out);
    for (int y = 0; y < kH; y += 5) {
        EXPECT_EQ(out.row(0, y)[2], a.row(0, y)[2]);
        EXPECT_EQ(out.row(0, y)[kW - 3], a.row(0, y)[kW - 3]);
        // Half the width holds all of B: output column x samples B at 2 (x + 0.5 - W/4) - 0.5.
        for (int x : {kW / 4, kW / 2, 3 * kW / 4 - 1}) {
            const double s = 2.0 * (x + 0.5 - kW / 4.0) - 0.5;
            EXPECT_NEAR(out.row(0, y)[x], 16 + 3 * s, 1.0) << x;
        }
    }
}

TEST(TransformPatterns, PixelateShowsUniformBlocksAtItsPeak) {
    const Frame a = testmedia::pictureA(kW, kH), b = testmedia::pictureB(kW, kH);
    Frame out(kW, kH);
    media::createEffect(transform(classid::kPixelate))->render(a, b, 0.5, out);
    const int block = kH / 8;  // the largest block for this size
    int changes = 0;
    for (int x = 1; x < block; ++x) changes += out.row(0, 1)[x] != out.row(0, 1)[0];
    for (int y = 1; y < block; ++y) changes += out.row(0, y)[1] != out.row(0, 0)[1];
    EXPECT_EQ(changes, 0);
    EXPECT_NE(out.row(0, 0)[0], out.row(0, 0)[kW - 1]);
}

TEST(TransformPatterns, RandomDissolveTurnsAboutTheShareOfPixelsItShould) {
    const Frame f = draw({std::string(classid::kRandomDissolve), std::nullopt, 3}, 0.3);
    int b = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) b += isB(f, x, y);
    EXPECT_NEAR(b / double(kW * kH), 0.3, 0.05);
}

TEST(TransformPatterns, RandomDissolveShowsOnlyColoursOfTheTwoClips) {
    // An odd size, so that the last colour samples cover a single row and column.
    const int w = 63, h = 47;
    Frame red(w, h), yellow(w, h), out(w, h);
    red.fillRgb(255, 0, 0);
    yellow.fillRgb(255, 255, 0);
    auto effect = media::createEffect({std::string(classid::kRandomDissolve), std::nullopt, 11});
    ASSERT_NE(effect, nullptr);
    for (double progress : {0.25, 0.5, 0.75}) {
        effect->render(red, yellow, progress, out);
        int mixed = 0, turned = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const auto px = out.rgbAt(x, y);
                const bool isRed = px == red.rgbAt(x, y), isYellow = px == yellow.rgbAt(x, y);
                mixed += !isRed && !isYellow;
                turned += isYellow;
            }
        EXPECT_EQ(mixed, 0) << progress;
        EXPECT_NEAR(turned / double(w * h), progress, 0.08);
    }
}
