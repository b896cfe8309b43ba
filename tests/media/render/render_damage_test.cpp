// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "clips.h"
#include "render_harness.h"

using namespace rendertest;

namespace {

std::string copyOf(const std::string& from, const std::string& name) {
    std::string to = clipPath(name);
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    return to;
}

bool completed(const Rendered& r) {
    return !r.events.empty() && r.events.back().code == media::render::kEventComplete;
}

}  // namespace

TEST(RenderDamage, ATruncatedClipHoldsItsLastPictureAndTheRenderCompletes) {
    testmedia::ClipSpec s;
    s.width = 160;
    s.height = 120;
    s.frameRate = "10";
    s.seconds = 3;
    s.colour = "red";
    s.container = "mkv";  // readable up to where it was cut
    auto whole = clip("long-red.mkv", s);
    auto cut = copyOf(whole, "cut-red.mkv");
    std::filesystem::resize_file(cut, std::filesystem::file_size(cut) / 2);
    auto tl = makeTimeline(160, 120, 10, {{cut, 0, sec(3)}}, {{cut, 0, sec(3)}});
    Rendered r = renderAll(tl);
    ASSERT_TRUE(r.status) << r.status.text();
    EXPECT_EQ(r.frames.size(), 30u);
    EXPECT_EQ(r.sound[0].size(), 132300u);
    auto last = colourAt(r.frames.back(), 80, 60);
    EXPECT_GT(last[0], 200) << "the last picture is held, not black";
    EXPECT_TRUE(completed(r));
}

TEST(RenderDamage, DamagedBytesInsideAClipAreConcealedOrSkipped) {
    auto whole = solidClip("blue.mp4", "blue", 1000);
    auto broken = copyOf(whole, "damaged-blue.mp4");
    {
        std::fstream f(broken, std::ios::in | std::ios::out | std::ios::binary);
        const auto size = static_cast<std::streamoff>(std::filesystem::file_size(broken));
        std::string junk(2000, '\xA5');
        for (std::streamoff at : {size / 3, size / 2, (2 * size) / 3}) {
            f.seekp(at);
            f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
        }
    }
    auto tl = makeTimeline(160, 120, 10, {{broken, 0, sec(2)}}, {{broken, 0, sec(2)}});
    Rendered r = renderAll(tl);
    ASSERT_TRUE(r.status) << r.status.text();
    EXPECT_EQ(r.frames.size(), 20u);
    EXPECT_EQ(r.sound[0].size(), 88200u);
    EXPECT_TRUE(completed(r));
}

TEST(RenderDamage, AMissingOrUnreadableClipFailsTheRenderNamingTheFile) {
    auto red = solidClip("red.mp4", "red", 440);
    const std::string missing = clipPath("gone.mp4");
    const std::string junk = clipPath("junk.mp4");
    std::ofstream(junk) << "this is not a video file at all, just some text";
    for (const std::string& bad : {missing, junk}) {
        auto tl = makeTimeline(160, 120, 10, {{red, 0, sec(1)}, {bad, sec(1), sec(2)}}, {});
        Rendered r = renderAll(tl);
        ASSERT_TRUE(r.status.failed()) << bad;
        EXPECT_NE(r.status.text().find(bad), std::string::npos) << r.status.text();
        EXPECT_EQ(r.frames.size(), 10u) << "the frames before the clip were rendered";
        ASSERT_FALSE(r.events.empty());
        EXPECT_EQ(r.events.back().code, media::render::kEventErrorAbort);
        EXPECT_EQ(r.events.back().status.text(), r.status.text());
    }
}

TEST(RenderDamage, APictureSizeChangingMidStreamStaysFitted) {
    // Two transport streams of different sizes, joined byte for byte: the decoder meets
    // a new size halfway.
    const std::string a = clipPath("size-a.ts"), b = clipPath("size-b.ts"),
                      joined = clipPath("size-change.ts");
    testmedia::ClipSpec s;
    s.container = "ts";
    s.width = 160;
    s.height = 120;
    s.frameRate = "10";
    s.seconds = 1;
    s.colour = "red";
    ASSERT_TRUE(testmedia::makeClip(a, s));
    s.width = 320;
    s.height = 90;
    s.colour = "blue";
    s.extraOutputArgs = "-output_ts_offset 1";
    ASSERT_TRUE(testmedia::makeClip(b, s));
    ASSERT_EQ(testmedia::run("cat '" + a + "' '" + b + "' > '" + joined + "'"), 0);
    Rendered r =
        renderAll(makeTimeline(160, 120, 10, {{joined, 0, sec(2)}}, {{joined, 0, sec(2)}}));
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_EQ(r.frames.size(), 20u);
    EXPECT_GT(colourAt(r.frames.at(5), 80, 10)[0], 200);
    // The wide part is letterboxed in 4:3: bars above, blue in the middle.
    auto mid = colourAt(r.frames.at(17), 80, 60);
    EXPECT_GT(mid[2], 200);
    EXPECT_LT(colourAt(r.frames.at(17), 80, 5)[2], 10);
    for (std::size_t k = 1; k < r.frames.size(); ++k)
        EXPECT_GT(r.frames[k].pts, r.frames[k - 1].pts);
}

TEST(RenderDamage, SoundStampedHoursLateIsSilenceWithoutFillingMemory) {
    // The picture starts at 0 and the sound ten hours later, as a damaged file can claim.
    std::string path = clipPath("late-sound.mkv");
    std::string cmd = std::string(CLIPFUSE_FFMPEG_CLI) +
                      " -nostdin -loglevel error -y -f lavfi -i color=red:s=160x120:r=10:d=1 -itsoffset 36000"
                      " -f lavfi -i sine=440:d=1 -map 0:v -map 1:a -c:v libx264 -preset ultrafast"
                      " -pix_fmt yuv420p -c:a flac '" +
                      path + "'";
    ASSERT_EQ(testmedia::run(cmd), 0);
    Rendered r = renderAll(makeTimeline(160, 120, 10, {{path, 0, sec(1)}}, {{path, 0, sec(1)}}));
    ASSERT_TRUE(r.status) << r.status.text();
    ASSERT_EQ(r.sound[0].size(), 44100u);
    float peak = 0;
    for (float v : r.sound[0]) peak = std::max(peak, std::abs(v));
    EXPECT_EQ(peak, 0.0f);
    EXPECT_GT(colourAt(r.frames.at(5), 80, 60)[0], 200);
}
