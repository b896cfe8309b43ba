// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "clips.h"
#include "render_harness.h"

using namespace rendertest;

namespace {

constexpr int kRate = 44100;

std::size_t at(double seconds) {
    return static_cast<std::size_t>(seconds * kRate);
}

}  // namespace

TEST(RenderAudio, EachClipsToneLiesOnItsOwnSpanAndTheLengthIsSampleExact) {
    auto a = solidClip("red.mp4", "red", 440), b = solidClip("blue.mp4", "blue", 1000);
    auto tl = makeTimeline(160, 120, 10, {{a, 0, sec(2.0)}, {b, sec(1.9), sec(3.3)}},
                           {{a, 0, sec(2)}, {b, sec(2), sec(3.3)}});
    Rendered r = renderAll(tl);
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_EQ(r.sound.size(), 2u);
    EXPECT_EQ(r.sound[0].size(), 145530u);  // round(3.3 s * 44100)
    EXPECT_EQ(r.sound[1].size(), r.sound[0].size());
    const std::size_t window = 2205;  // 50 ms
    for (double t : {0.1, 0.9, 1.8}) {
        EXPECT_GT(toneShare(r.sound[0], at(t), window, 440, kRate), 0.8) << t;
        EXPECT_LT(toneShare(r.sound[0], at(t), window, 1000, kRate), 0.1) << t;
    }
    for (double t : {2.05, 2.8, 3.2}) {
        EXPECT_GT(toneShare(r.sound[1], at(t), window, 1000, kRate), 0.8) << t;
        EXPECT_LT(toneShare(r.sound[1], at(t), window, 440, kRate), 0.1) << t;
    }
}

TEST(RenderAudio, AClipWithoutSoundOrWithShorterSoundGivesSilence) {
    testmedia::ClipSpec mute;
    mute.width = 160;
    mute.height = 120;
    mute.frameRate = "10";
    mute.seconds = 1;
    mute.audioCodec.clear();
    auto silent = clip("mute.mp4", mute);
    auto toned = solidClip("short-tone.mp4", "red", 440, 1.0);
    // The toned clip is asked for 1.5 s of its 1 s: the rest is silence.
    auto tl = makeTimeline(160, 120, 10, {{silent, 0, sec(1)}},
                           {{silent, 0, sec(1)}, {toned, sec(1), sec(2.5)}});
    Rendered r = renderAll(tl);
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_EQ(r.sound[0].size(), at(2.5));
    auto peak = [&](double from, double to) {
        float m = 0;
        for (std::size_t i = at(from); i < at(to); ++i) m = std::max(m, std::abs(r.sound[0][i]));
        return m;
    };
    EXPECT_EQ(peak(0.0, 1.0), 0.0f);
    EXPECT_GT(peak(1.1, 1.9), 0.05f);
    EXPECT_LT(peak(2.1, 2.5), 0.001f);
    // The video group still runs to the timeline's end: 25 frames, black after 1 s.
    EXPECT_EQ(r.frames.size(), 25u);
}

TEST(RenderAudio, OtherSampleRatesAndMonoAreResampled) {
    testmedia::ClipSpec mono;
    mono.container = "mkv";
    mono.videoCodec.clear();
    mono.audioCodec = "pcm_s16le";
    mono.sampleRate = 22050;
    mono.channels = 1;
    mono.seconds = 1;
    mono.toneHz = 600;
    auto path = clip("mono22k.mkv", mono);
    auto tl = makeTimeline(0, 0, 10, {}, {{path, 0, sec(1)}});
    Rendered r = renderAll(tl);
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_EQ(r.sound.size(), 2u);
    ASSERT_EQ(r.sound[0].size(), at(1.0));
    EXPECT_GT(toneShare(r.sound[0], at(0.4), 4410, 600, kRate), 0.8);
    EXPECT_GT(toneShare(r.sound[1], at(0.4), 4410, 600, kRate), 0.8);
}

TEST(RenderAudio, AStreamThatStartsLateKeepsPictureAndSoundTogether) {
    // The file's clock begins at 5 s; its sound starts 0.5 s after its picture.
    testmedia::ClipSpec s;
    s.width = 160;
    s.height = 120;
    s.frameRate = "10";
    s.seconds = 2;
    s.container = "mkv";
    s.extraOutputArgs = "-output_ts_offset 5 -af adelay=500:all=1";
    auto path = clip("offset.mkv", s);
    auto tl = makeTimeline(160, 120, 10, {{path, 0, sec(2)}}, {{path, 0, sec(2)}});
    Rendered r = renderAll(tl);
    ASSERT_TRUE(r.status) << r.status.text();
    auto c = colourAt(r.frames.at(0), 80, 60);
    EXPECT_GT(c[0], 200);  // the first picture is there at once
    float early = 0;
    for (std::size_t i = 0; i < at(0.45); ++i) early = std::max(early, std::abs(r.sound[0][i]));
    EXPECT_LT(early, 0.001f);
    EXPECT_GT(toneShare(r.sound[0], at(0.6), 2205, 440, kRate), 0.8);
}
