// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/core/frame_rate.h"

#include <gtest/gtest.h>

#include "media/render/frame_times.h"

using media::exactFrameRate;
using media::FrameRate;

TEST(FrameRate, DecimalsNameTheBroadcastFractionsAndOtherRatesTheirNearest) {
    EXPECT_EQ(exactFrameRate(23.976), (FrameRate{24000, 1001}));
    EXPECT_EQ(exactFrameRate(23.9765), (FrameRate{24000, 1001}));
    EXPECT_EQ(exactFrameRate(29.97), (FrameRate{30000, 1001}));
    EXPECT_EQ(exactFrameRate(47.952), (FrameRate{48000, 1001}));
    EXPECT_EQ(exactFrameRate(59.94), (FrameRate{60000, 1001}));
    EXPECT_EQ(exactFrameRate(119.88), (FrameRate{120000, 1001}));
    EXPECT_EQ(exactFrameRate(25), (FrameRate{25, 1}));
    EXPECT_EQ(exactFrameRate(1.0), (FrameRate{1, 1}));  // within 0.001 of 1000/1001, yet whole
    EXPECT_EQ(exactFrameRate(0.999), (FrameRate{1000, 1001}));
    EXPECT_EQ(exactFrameRate(30), (FrameRate{30, 1}));
    EXPECT_EQ(exactFrameRate(12.5), (FrameRate{25, 2}));
    EXPECT_EQ(exactFrameRate(0.5), (FrameRate{1, 2}));
    EXPECT_EQ(exactFrameRate(23.975), (FrameRate{959, 40}));  // too far from 24000/1001
    EXPECT_EQ(exactFrameRate(0), (FrameRate{0, 1}));
    EXPECT_EQ(exactFrameRate(-25), (FrameRate{0, 1}));
    EXPECT_EQ(media::frameRateText({24000, 1001}), "23.976");
    EXPECT_EQ(media::frameRateText({25, 2}), "12.5");
}

TEST(FrameRate, TheFrameGridKeepsTheExactRateOverLongRenders) {
    const media::render::FrameTimes times(23.976);
    EXPECT_EQ(times.at(24000), 1001LL * media::kTicksPerSecond);  // 24000 frames last 1001 s
    EXPECT_EQ(times.at(24000 * 100), 100100LL * media::kTicksPerSecond);
    EXPECT_EQ(times.firstAtOrAfter(1001LL * media::kTicksPerSecond), 24000);
    EXPECT_EQ(times.countBefore(10 * media::kTicksPerSecond), 240);  // 239.76 frames: 240 begin before 10 s
}
