// SPDX-License-Identifier: GPL-3.0-or-later
// Lengths of files that do not simply state them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

extern "C" {
#include <libavutil/display.h>
}

#include "media/probe/display_rotation.h"
#include "media/probe/probe_clip.h"
#include "support/media/test_media.h"

using media::ClipInfo;
using media::probeClip;
using media::ticksToSeconds;

namespace {

class ClipLength : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dir_ = testmedia::scratchDir("probe_length"); }
    static inline std::string dir_;

    // A recording written to a pipe, as browsers and streaming tools do: the muxer cannot
    // go back to write the length, so the file has none.
    static std::string streamed(const std::string& name, double seconds, const std::string& size) {
        std::string p = dir_ + "/" + name;
        std::string cmd = "ffmpeg -nostdin -loglevel error -y -f lavfi -i color=c=green:s=" + size +
                          ":r=25:d=" + std::to_string(seconds) +
                          " -f lavfi -i sine=duration=" + std::to_string(seconds) +
                          " -c:v libvpx -deadline realtime -cpu-used 8 -b:v 2M -c:a libvorbis -f "
                          "webm pipe:1 > '" +
                          p + "'";
        EXPECT_EQ(testmedia::run(cmd), 0) << cmd;
        return p;
    }
};

TEST_F(ClipLength, StreamedWebmWithoutStatedLengthIsReadFromItsEnd) {
    std::string p = streamed("streamed.webm", 2.0, "160x120");
    std::string probe;
    testmedia::run("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + p + "'",
                   &probe);
    ASSERT_EQ(probe.substr(0, 3), "N/A") << "the test file must state no length";

    ClipInfo info = probeClip(p);
    ASSERT_TRUE(info.ok()) << info.status.text();
    EXPECT_NEAR(ticksToSeconds(info.duration), 2.0, 1.0 / 25);
    EXPECT_FALSE(info.durationEstimated);
}

TEST_F(ClipLength, LongStreamedFileIsMeasuredFromItsLastPart) {
    // Noise does not compress: megabytes for two seconds, so the read of the file's end
    // starts in the middle of the picture data and must find its way to the next packet.
    std::string p = dir_ + "/noisy.webm";
    std::string cmd =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i "
        "'nullsrc=s=320x240:r=25:d=2,geq=random(1)*255:128:128' "
        "-c:v libvpx -deadline realtime -cpu-used 8 -b:v 20M -f webm pipe:1 > '" +
        p + "'";
    ASSERT_EQ(testmedia::run(cmd), 0);
    ClipInfo info = probeClip(p);
    ASSERT_TRUE(info.ok()) << info.status.text();
    EXPECT_NEAR(ticksToSeconds(info.duration), 2.0, 1.0 / 25);
}

TEST_F(ClipLength, TransportStreamStartsLateAndIsMeasuredFromItsStart) {
    testmedia::ClipSpec recipe;
    recipe.container = "ts";
    recipe.videoCodec = "mpeg2video";
    recipe.audioCodec = "mp2";
    recipe.frameRate = "25";
    recipe.seconds = 2.0;
    recipe.width = 160;
    recipe.height = 120;
    std::string p = dir_ + "/camera.ts";
    ASSERT_TRUE(testmedia::makeClip(p, recipe));
    ClipInfo info = probeClip(p);
    ASSERT_TRUE(info.ok()) << info.status.text();
    EXPECT_GT(info.startTime, media::secondsToTicks(1.0));             // the muxer's default offset
    EXPECT_NEAR(ticksToSeconds(info.duration), 2.0, 1.0 / 25 + 0.03);  // plus one MP2 frame
}

TEST_F(ClipLength, ImplausibleStatedLengthGivesWayToTheRealOne) {
    testmedia::ClipSpec recipe;
    recipe.container = "mkv";
    recipe.videoCodec = "libvpx";
    recipe.audioCodec = "";
    recipe.frameRate = "25";
    recipe.seconds = 1.0;
    recipe.width = 64;
    recipe.height = 48;
    recipe.extraOutputArgs = "-deadline realtime -cpu-used 8";
    std::string p = dir_ + "/forged.mkv";
    ASSERT_TRUE(testmedia::makeClip(p, recipe));

    // Rewrite the segment's Duration (element 0x4489, an 8-byte float in milliseconds).
    std::string bytes;
    {
        std::ifstream in(p, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::size_t at = bytes.find("\x44\x89\x88");
    ASSERT_NE(at, std::string::npos);
    const double forged = 1e12 * 1000;  // a million years... and then some
    std::uint64_t raw;
    std::memcpy(&raw, &forged, 8);
    for (int i = 0; i < 8; ++i) bytes[at + 3 + i] = static_cast<char>(raw >> (56 - 8 * i));
    {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ClipInfo info = probeClip(p);
    ASSERT_TRUE(info.ok()) << info.status.text();
    EXPECT_NEAR(ticksToSeconds(info.duration), 1.0, 1.0 / 25);
}

// Where the pictures and sound of a file end, as FFmpeg's own prober lists its packets.
double lastPacketEnd(const std::string& path) {
    std::string out;
    testmedia::run(
        "ffprobe -v quiet -show_entries packet=pts_time,duration_time -of csv=p=0 '" + path + "'",
        &out);
    double end = 0;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        double pts = 0, duration = 0;
        if (std::sscanf(line.c_str(), "%lf,%lf", &pts, &duration) == 2)
            end = std::max(end, pts + duration);
    }
    return end;
}

TEST_F(ClipLength, FilesCutShortAreMeasuredToTheirLastPicture) {
    // An interrupted download: the header still states the full length.
    struct Case {
        const char* name;
        const char* container;
        const char* video;
        const char* audio;
        const char* extra;
    };
    for (const Case& c :
         {Case{"cut.mp4", "mp4", "libx264", "aac", "-movflags +faststart"},
          Case{"cut.mkv", "mkv", "libvpx", "libvorbis", "-deadline realtime -cpu-used 8"},
          Case{"cut.avi", "avi", "mpeg4", "pcm_s16le", ""}}) {
        testmedia::ClipSpec recipe;
        recipe.container = c.container;
        recipe.videoCodec = c.video;
        recipe.audioCodec = c.audio;
        recipe.extraOutputArgs = c.extra;
        recipe.frameRate = "25";
        recipe.seconds = 3.0;
        recipe.width = 160;
        recipe.height = 120;
        std::string whole = dir_ + "/whole_" + c.name;
        ASSERT_TRUE(testmedia::makeClip(whole, recipe));
        std::string cut = dir_ + "/" + c.name;
        std::uintmax_t size = std::filesystem::file_size(whole);
        ASSERT_EQ(testmedia::run("head -c " + std::to_string(size * 55 / 100) + " '" + whole +
                                 "' > '" + cut + "'"),
                  0);

        ClipInfo info = probeClip(cut);
        ASSERT_TRUE(info.ok()) << c.name << ": " << info.status.text();
        const double expected = lastPacketEnd(cut);
        EXPECT_GT(expected, 0.5) << c.name;
        EXPECT_LT(expected, 2.5) << c.name;
        EXPECT_NEAR(ticksToSeconds(info.duration), expected, 1.0 / 25) << c.name;
    }
}

TEST(DisplayRotation, AnglesFromMatrices) {
    std::int32_t m[9];
    auto bytes = [&] { return reinterpret_cast<const std::uint8_t*>(m); };
    // The matrix says how to turn the stored picture for display, clockwise as set here.
    for (auto [ccw, clockwise] :
         {std::pair{0.0, 0}, {90.0, 90}, {-90.0, 270}, {180.0, 180}, {-180.0, 180}, {45.0, 45}}) {
        av_display_rotation_set(m, ccw);
        EXPECT_EQ(media::rotationFromDisplayMatrix(bytes(), sizeof m), clockwise) << ccw;
    }
    // Too short, missing or degenerate: no rotation rather than a nonsense one.
    av_display_rotation_set(m, -90);
    EXPECT_EQ(media::rotationFromDisplayMatrix(bytes(), sizeof m - 1), 0);
    EXPECT_EQ(media::rotationFromDisplayMatrix(nullptr, 36), 0);
    std::memset(m, 0, sizeof m);
    EXPECT_EQ(media::rotationFromDisplayMatrix(bytes(), sizeof m), 0);
}

}  // namespace

namespace {

// The first `bytes` of a clip made from `recipe`, as a download cut off that early leaves it.
std::string firstBytesOf(const std::string& dir, const std::string& name,
                         testmedia::ClipSpec recipe, std::size_t bytes) {
    const std::string whole = dir + "/whole_" + name, cut = dir + "/" + name;
    if (!testmedia::makeClip(whole, recipe)) return {};
    std::ifstream in(whole, std::ios::binary);
    std::string data(bytes, '\0');
    in.read(data.data(), static_cast<std::streamsize>(bytes));
    std::ofstream(cut, std::ios::binary).write(data.data(), in.gcount());
    return cut;
}

int videoPacketsIn(const std::string& path) {
    std::string out;
    testmedia::run(
        "ffprobe -v quiet -select_streams v -show_entries packet=pts -of csv=p=0 '" + path + "'",
        &out);
    return static_cast<int>(std::count(out.begin(), out.end(), '\n'));
}

}  // namespace

TEST_F(ClipLength, TheFirstKilobytesOfAClipAreMeasuredByWhatTheyHold) {
    // A large first picture that 3000 bytes do not hold; only a sound frame or two does.
    testmedia::ClipSpec recipe;
    recipe.container = "mkv";
    recipe.audioCodec = "ac3";
    recipe.sampleRate = 48000;
    recipe.seconds = 1.0;
    recipe.width = 1280;
    recipe.height = 720;
    const std::string mkv = firstBytesOf(dir_, "first3000.mkv", recipe, 3000);
    recipe.container = "webm";
    recipe.videoCodec = "libvpx";
    recipe.audioCodec = "libopus";
    recipe.width = 1920;
    recipe.height = 1080;
    recipe.extraOutputArgs = "-deadline realtime -cpu-used 8";
    const std::string webm = firstBytesOf(dir_, "first3000.webm", recipe, 3000);
    for (const std::string& cut : {mkv, webm}) {
        ASSERT_FALSE(cut.empty());
        ASSERT_EQ(videoPacketsIn(cut), 0) << cut << ": the first picture must lie beyond the cut";
        const ClipInfo info = probeClip(cut);
        EXPECT_EQ(info.failure, media::ProbeFailure::CannotOpen)
            << cut << " measured as " << info.duration;
        EXPECT_NE(info.status.text().find("could be decoded"), std::string::npos)
            << info.status.text();
    }

    // Small pictures: the same 3000 bytes hold a few of them, and that is the clip's length.
    recipe.seconds = 3.0;
    recipe.width = 160;
    recipe.height = 120;
    const std::string smallWebm = firstBytesOf(dir_, "small3000.webm", recipe, 3000);
    recipe.container = "mkv";
    recipe.videoCodec = "libx264";
    recipe.audioCodec = "ac3";
    recipe.extraOutputArgs.clear();
    const std::string smallMkv = firstBytesOf(dir_, "small3000.mkv", recipe, 3000);
    // Pictures that start late: the cut holds half a second of sound and no picture, and
    // the index that a seek by time would follow has no entry for the picture stream.
    const std::string late = dir_ + "/late.mkv", lateCut = dir_ + "/late_cut.mkv";
    ASSERT_EQ(testmedia::run(
                  "ffmpeg -nostdin -loglevel error -y -itsoffset 0.5 -f lavfi -i "
                  "color=c=red:s=1280x720:r=25:d=1.5 -f lavfi -i sine=sample_rate=48000:duration=2 "
                  "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a ac3 '" +
                  late + "'"),
              0);
    std::string firstPicture;
    testmedia::run(
        "ffprobe -v quiet -select_streams v -show_entries packet=pos -of csv=p=0 '" + late + "'",
        &firstPicture);
    ASSERT_EQ(testmedia::run("head -c " + std::to_string(std::stoll(firstPicture) + 100) + " '" +
                             late + "' > '" + lateCut + "'"),
              0);
    for (const std::string& small : {smallWebm, smallMkv, lateCut}) {
        const ClipInfo info = probeClip(small);
        ASSERT_TRUE(info.ok()) << info.status.text();
        EXPECT_LT(ticksToSeconds(info.duration), 1.0) << small;
        EXPECT_NEAR(ticksToSeconds(info.duration), lastPacketEnd(small), 0.05) << small;
    }
}
