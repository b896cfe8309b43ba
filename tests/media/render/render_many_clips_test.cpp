// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "clips.h"
#include "media/decode/open_decoders.h"
#include "render_harness.h"

using namespace rendertest;

TEST(RenderManyClips, OnlyTheSourcesAroundTheCurrentTimeHoldADecoder) {
    const char* fade = "{16B280C5-EE70-11D1-9066-00C04FD9189D}";
    auto red = solidClip("red.mp4", "red", 440), blue = solidClip("blue.mp4", "blue", 1000);
    std::vector<VideoClip> video;
    std::vector<AudioClip> audio;
    // 40 clips of 0.3 s overlapping by 0.1 s fades, their sound end to end.
    for (int i = 0; i < 40; ++i) {
        const Ticks start = sec(0.3) * i - (i ? sec(0.1) : 0), stop = sec(0.3) * (i + 1);
        video.push_back({i % 2 ? blue : red, start, stop, i ? fade : "", start + sec(0.1)});
        audio.push_back({i % 2 ? blue : red, sec(0.3) * i, sec(0.3) * (i + 1)});
    }
    media::decode::OpenDecoders::resetPeak();
    Rendered r = renderAll(makeTimeline(160, 120, 20, video, audio));
    ASSERT_TRUE(r.status) << r.status.text();
    EXPECT_EQ(r.frames.size(), 240u);
    EXPECT_EQ(r.sound[0].size(), 529200u);
    EXPECT_LE(media::decode::OpenDecoders::peak(), 6) << "at most a few files open at once";
    EXPECT_EQ(media::decode::OpenDecoders::now(), 0) << "every file is closed after the render";
    // At 2.3 s clip 8 begins to fade in over clip 7 (blue), which still fills the frame.
    auto alone = colourAt(r.frames.at(46), 80, 60);  // 2.3 s
    EXPECT_GT(alone[2], 200);
    EXPECT_LT(alone[0], 30);
}
