// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "clips.h"
#include "render_harness.h"

using namespace rendertest;
using media::Frame;

namespace {

const char* kFade = "{16B280C5-EE70-11D1-9066-00C04FD9189D}";

void expectColour(const Frame& f, int x, int y, std::array<int, 3> want, int tolerance,
                  const std::string& what) {
    auto c = colourAt(f, x, y);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(c[i], want[i], tolerance) << what << " channel " << i;
}

const Frame& frameAt(const Rendered& r, double seconds, double fps) {
    return r.frames.at(static_cast<std::size_t>(seconds * fps + 0.5));
}

}  // namespace

TEST(RenderVideo, EachClipFillsTheFrameWhereItPlaysAloneAndTheCountFollowsTheLength) {
    auto red = solidClip("red.mp4", "red", 440), blue = solidClip("blue.mp4", "blue", 1000);
    // Clips of 2 s end to end, 3.05 s in all: the last frame starts before the end.
    auto tl = makeTimeline(160, 120, 10, {{red, 0, sec(2)}, {blue, sec(2), sec(3.05)}}, {});
    Rendered r = renderAll(tl);
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_EQ(r.frames.size(), 31u);  // t = 0.0 ... 3.0
    expectColour(frameAt(r, 0.0, 10), 80, 60, {255, 0, 0}, 12, "red at 0 s");
    expectColour(frameAt(r, 1.9, 10), 5, 5, {255, 0, 0}, 12, "red at 1.9 s");
    expectColour(frameAt(r, 2.0, 10), 80, 60, {0, 0, 255}, 12, "blue at 2 s");
    expectColour(frameAt(r, 3.0, 10), 150, 110, {0, 0, 255}, 12, "blue at 3 s");
    for (std::size_t k = 0; k < r.frames.size(); ++k) {
        EXPECT_EQ(r.frames[k].pts, static_cast<media::Ticks>(k) * sec(0.1));
        EXPECT_EQ(r.frames[k].width(), 160);
        EXPECT_EQ(r.frames[k].height(), 120);
    }
    ASSERT_FALSE(r.events.empty());
    EXPECT_EQ(r.events.back().code, media::render::kEventComplete);
}

TEST(RenderVideo, AFadeMixesTheClipsAndATimeWithoutSourceIsBlack) {
    auto red = solidClip("red.mp4", "red", 440), blue = solidClip("blue.mp4", "blue", 1000);
    // Red 0-2 s; blue from 1 s, faded in over 1-2 s, and ending at 2.5 s of a 3 s timeline
    // (the sound runs on, as when the last clip has no transition).
    auto tl =
        makeTimeline(160, 120, 10, {{red, 0, sec(2)}, {blue, sec(1), sec(2.5), kFade, sec(2)}},
                     {{red, 0, sec(3)}});
    Rendered r = renderAll(tl);
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_EQ(r.frames.size(), 30u);
    expectColour(frameAt(r, 0.5, 10), 80, 60, {255, 0, 0}, 12, "before the fade");
    expectColour(frameAt(r, 1.0, 10), 80, 60, {255, 0, 0}, 12, "fade start");
    expectColour(frameAt(r, 1.5, 10), 80, 60, {128, 0, 128}, 16, "mid fade");
    expectColour(frameAt(r, 2.0, 10), 80, 60, {0, 0, 255}, 12, "after the fade");
    expectColour(frameAt(r, 2.7, 10), 80, 60, {0, 0, 0}, 4, "nothing plays");
}

TEST(RenderVideo, TheFirstClipFadesInFromBlack) {
    auto green = solidClip("green.mp4", "0x00FF00", 440);
    auto tl = makeTimeline(160, 120, 10, {{green, 0, sec(2), kFade, sec(1)}}, {});
    Rendered r = renderAll(tl);
    ASSERT_TRUE(r.status) << r.status.text();
    expectColour(r.frames.at(0), 80, 60, {0, 0, 0}, 6, "start of the fade");
    auto mid = colourAt(r.frames.at(5), 80, 60);
    EXPECT_NEAR(mid[1], 128, 20);
    expectColour(r.frames.at(12), 80, 60, {0, 255, 0}, 12, "after the fade");
}

TEST(RenderVideo, AnUnknownEffectCutsToTheClip) {
    auto red = solidClip("red.mp4", "red", 440), blue = solidClip("blue.mp4", "blue", 1000);
    auto tl =
        makeTimeline(160, 120, 10,
                     {{red, 0, sec(2)},
                      {blue, sec(1), sec(2), "{00000000-0000-0000-0000-000000000001}", sec(2)}},
                     {});
    Rendered r = renderAll(tl);
    ASSERT_TRUE(r.status) << r.status.text();
    expectColour(r.frames.at(15), 80, 60, {0, 0, 255}, 12, "cut");
}

TEST(RenderVideo, PreserveAspectRatioLetterboxesAndStretchFills) {
    testmedia::ClipSpec wide;
    wide.width = 320;
    wide.height = 180;
    wide.frameRate = "10";
    wide.seconds = 1;
    wide.colour = "white";
    wide.audioCodec.clear();
    auto path = clip("wide.mp4", wide);
    Rendered kept = renderAll(makeTimeline(160, 120, 10, {{path, 0, sec(1), "", 0, 2}}, {}));
    ASSERT_TRUE(kept.status) << kept.status.text();
    const Frame& f = kept.frames.at(3);
    // 16:9 in 4:3: the picture is 160 x 90, from row 15 to row 105.
    expectColour(f, 80, 2, {0, 0, 0}, 4, "top bar");
    expectColour(f, 80, 117, {0, 0, 0}, 4, "bottom bar");
    expectColour(f, 80, 60, {255, 255, 255}, 8, "picture");
    expectColour(f, 2, 20, {255, 255, 255}, 8, "picture near the top edge");

    Rendered filled = renderAll(makeTimeline(160, 120, 10, {{path, 0, sec(1), "", 0, 0}}, {}));
    ASSERT_TRUE(filled.status) << filled.status.text();
    expectColour(filled.frames.at(3), 80, 1, {255, 255, 255}, 8, "stretched top");
    expectColour(filled.frames.at(3), 80, 118, {255, 255, 255}, 8, "stretched bottom");
}

TEST(RenderVideo, NonSquarePixelsAreHonoured) {
    // 160 x 120 stored with 2:1 pixels is shown 320 x 120: bars above and below in 4:3.
    testmedia::ClipSpec anamorphic;
    anamorphic.width = 160;
    anamorphic.height = 120;
    anamorphic.frameRate = "10";
    anamorphic.seconds = 1;
    anamorphic.colour = "white";
    anamorphic.audioCodec.clear();
    anamorphic.extraOutputArgs = "-vf setsar=2/1";
    auto path = clip("anamorphic.mp4", anamorphic);
    Rendered r = renderAll(makeTimeline(160, 120, 10, {{path, 0, sec(1)}}, {}));
    ASSERT_TRUE(r.status) << r.status.text();
    expectColour(r.frames.at(2), 80, 10, {0, 0, 0}, 4, "bar");
    expectColour(r.frames.at(2), 80, 60, {255, 255, 255}, 8, "picture");
}

TEST(RenderVideo, ARotatedClipComesOutUpright) {
    // Stored left half red, right half blue, with a display matrix that turns it a quarter
    // counter-clockwise: upright, blue is on top and red below, a portrait picture
    // pillarboxed in 4:3.
    std::string plain = clipPath("unrotated.mp4"), path = clipPath("rotated.mp4");
    std::string make =
        std::string(CLIPFUSE_FFMPEG_CLI) +
        " -nostdin -loglevel error -y -f lavfi -i color=red:s=80x120:r=10:d=1 -f lavfi -i "
        "color=blue:s=80x120:r=10:d=1 -filter_complex hstack -c:v libx264 -preset ultrafast "
        "-pix_fmt yuv420p '" +
        plain + "'";
    std::string tag = std::string(CLIPFUSE_FFMPEG_CLI) + " -nostdin -loglevel error -y -i '" +
                      plain + "' -c copy -metadata:s:v:0 rotate=90 '" + path + "'";
    ASSERT_EQ(testmedia::run(make), 0);
    ASSERT_EQ(testmedia::run(tag), 0);
    Rendered r = renderAll(makeTimeline(160, 120, 10, {{path, 0, sec(1)}}, {}));
    ASSERT_TRUE(r.status) << r.status.text();
    const Frame& f = r.frames.at(3);
    expectColour(f, 80, 20, {0, 0, 255}, 14, "top");
    expectColour(f, 80, 100, {255, 0, 0}, 14, "bottom");
    expectColour(f, 5, 60, {0, 0, 0}, 4, "left bar");
    expectColour(f, 154, 60, {0, 0, 0}, 4, "right bar");
}

TEST(RenderVideo, AZeroSizeTakesTheFirstClipsSize) {
    testmedia::ClipSpec s;
    s.width = 96;
    s.height = 64;
    s.frameRate = "10";
    s.seconds = 1;
    s.colour = "yellow";
    auto path = clip("small.mp4", s);
    Rendered r = renderAll(makeTimeline(0, 0, 10, {{path, 0, sec(1)}}, {}));
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_FALSE(r.frames.empty());
    EXPECT_EQ(r.frames[0].width(), 96);
    EXPECT_EQ(r.frames[0].height(), 64);
}

TEST(RenderVideo, ClipsOfOtherFrameRatesKeepTheirLength) {
    testmedia::ClipSpec fast;
    fast.width = 160;
    fast.height = 120;
    fast.frameRate = "30000/1001";
    fast.seconds = 1;
    fast.colour = "red";
    testmedia::ClipSpec slow = fast;
    slow.frameRate = "7";
    slow.colour = "blue";
    auto a = clip("ntsc.mp4", fast), b = clip("seven.mp4", slow);
    Rendered r = renderAll(makeTimeline(160, 120, 25, {{a, 0, sec(1)}, {b, sec(1), sec(2)}}, {}));
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_EQ(r.frames.size(), 50u);
    expectColour(r.frames.at(24), 80, 60, {255, 0, 0}, 12, "last red frame");
    expectColour(r.frames.at(25), 80, 60, {0, 0, 255}, 12, "first blue frame");
    expectColour(r.frames.at(49), 80, 60, {0, 0, 255}, 12, "last frame");
}

TEST(RenderVideo, AnInterlacedClipIsScaledFromOneFieldWithoutCombing) {
    // Every even row red, every odd row blue, coded as interlaced: the top field is red.
    std::string path = clipPath("interlaced.mp4");
    std::string cmd =
        std::string(CLIPFUSE_FFMPEG_CLI) +
        " -nostdin -loglevel error -y -f lavfi -i \"color=black:s=160x120:r=10:d=1,format=rgb24,"
        "geq=r='if(mod(Y\\,2)\\,0\\,255)':g=0:b='if(mod(Y\\,2)\\,255\\,0)',setfield=tff\""
        " -c:v libx264 -preset ultrafast -qp 0 -pix_fmt yuv420p -flags +ildct+ilme -x264-params "
        "tff=1 '" +
        path + "'";
    ASSERT_EQ(testmedia::run(cmd), 0);
    Rendered r = renderAll(makeTimeline(80, 60, 10, {{path, 0, sec(1)}}, {}));
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_EQ(r.frames.size(), 10u);
    // Red's luma is 81, blue's 41; both fields blended would give about 61.
    for (int y : {10, 30, 31, 50}) EXPECT_NEAR(r.frames[4].row(0, y)[40], 81, 6) << y;
}

TEST(RenderVideo, AVariableFrameRateClipIsShownByItsTimestamps) {
    // Red for 1 s, then blue, at uneven intervals: frames 0, 0.3, 0.6, 0.9, 1.0, 1.2 ... s.
    std::string path = clipPath("vfr.mkv");
    std::string cmd =
        std::string(CLIPFUSE_FFMPEG_CLI) +
        " -nostdin -loglevel error -y -f lavfi -i \"color=red:s=160x120:r=10:d=1[a];"
        "color=blue:s=160x120:r=10:d=1[b];[a][b]concat,select='not(mod(n\\,3))+eq(n\\,10)'\""
        " -fps_mode passthrough -c:v libx264 -preset ultrafast -pix_fmt yuv420p '" +
        path + "'";
    ASSERT_EQ(testmedia::run(cmd), 0);
    Rendered r = renderAll(makeTimeline(160, 120, 20, {{path, 0, sec(2)}}, {}));
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_EQ(r.frames.size(), 40u);
    expectColour(r.frames.at(19), 80, 60, {255, 0, 0}, 12, "0.95 s, the frame of 0.9 s");
    expectColour(r.frames.at(20), 80, 60, {0, 0, 255}, 12, "1.0 s");
    expectColour(r.frames.at(39), 80, 60, {0, 0, 255}, 12, "1.95 s");
}

TEST(RenderVideo, ASourceThatStartsLateInItsFileShowsThatPartWithItsSound) {
    // Red with a 440 Hz tone for 5 s, then blue with 1000 Hz; the source plays 6 s to 7 s.
    std::string path = clipPath("red-then-blue.mkv");
    std::string cmd =
        std::string(CLIPFUSE_FFMPEG_CLI) +
        " -nostdin -loglevel error -y -filter_complex \"color=red:s=160x120:r=10:d=5[a];"
        "color=blue:s=160x120:r=10:d=5[b];[a][b]concat[v];sine=440:d=5[x];sine=1000:d=5[y];"
        "[x][y]concat=v=0:a=1[s]\" -map '[v]' -map '[s]' -c:v libx264 -preset ultrafast -g 20 "
        "-pix_fmt yuv420p -c:a flac '" +
        path + "'";
    ASSERT_EQ(testmedia::run(cmd), 0);
    auto tl = makeTimeline(160, 120, 10, {{path, 0, sec(1)}}, {{path, 0, sec(1)}});
    for (const auto& g : tl->groups()) {
        const auto& src = g->tracks()[0]->sources()[0];
        ASSERT_TRUE(src->setMediaTimes(sec(6), sec(7)));
    }
    Rendered r = renderAll(tl);
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_EQ(r.frames.size(), 10u);
    expectColour(r.frames.at(0), 80, 60, {0, 0, 255}, 12, "first frame");
    EXPECT_GT(toneShare(r.sound[0], 0, 4410, 1000, 44100), 0.8);
    EXPECT_LT(toneShare(r.sound[0], 0, 4410, 440, 44100), 0.1);
}
