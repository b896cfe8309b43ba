// SPDX-License-Identifier: GPL-3.0-or-later
// Measuring real clips of the common containers, made once for the whole suite.
#include "media/probe/probe_clip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/media/test_media.h"

using media::ClipInfo;
using media::probeClip;
using media::ticksToSeconds;

namespace {

// Writes the track header's matrix of the first track of an MP4 as phones do for a picture
// filmed upright: turn 90 degrees clockwise to show it.
bool tagMp4Rotation90(const std::string& path) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    for (std::size_t i = 0; i + 4 + 76 <= bytes.size(); ++i) {
        if (std::memcmp(&bytes[i], "tkhd", 4) != 0 || bytes[i + 4] != 0)
            continue;  // version 0 only
        const std::uint32_t matrix[9] = {0, 0x00010000, 0, 0xFFFF0000, 0, 0, 0, 0, 0x40000000};
        f.clear();
        f.seekp(static_cast<std::streamoff>(i + 4 + 40));
        for (std::uint32_t v : matrix) {
            const char be[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
            f.write(be, 4);
        }
        return bool(f);
    }
    return false;
}

class ProbeClip : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dir_ = testmedia::scratchDir("probe_clip"); }

    static std::string make(const std::string& name, const testmedia::ClipSpec& recipe) {
        std::string path = dir_ + "/" + name;
        EXPECT_TRUE(testmedia::makeClip(path, recipe)) << path;
        return path;
    }

    static void expectLength(const ClipInfo& info, double seconds, double frameRate) {
        ASSERT_TRUE(info.ok()) << info.status.text();
        EXPECT_TRUE(info.status.isOk());
        EXPECT_NEAR(ticksToSeconds(info.duration), seconds, 1.0 / frameRate + 1e-6);
        EXPECT_FALSE(info.durationEstimated);
    }

    static inline std::string dir_;
};

TEST_F(ProbeClip, H264AndAacInMp4) {
    testmedia::ClipSpec recipe;
    recipe.seconds = 2.0;
    recipe.sampleRate = 48000;
    ClipInfo info = probeClip(make("h264.mp4", recipe));
    expectLength(info, 2.0, 30);
    ASSERT_TRUE(info.video && info.audio);
    EXPECT_EQ(info.video->codecName, "h264");
    EXPECT_EQ(info.video->width, 320);
    EXPECT_EQ(info.video->height, 240);
    EXPECT_NEAR(info.video->frameRate(), 30.0, 1e-9);
    EXPECT_EQ(info.video->rotationDegrees, 0);
    EXPECT_NEAR(info.video->displayAspect(), 4.0 / 3.0, 1e-9);
    EXPECT_EQ(info.audio->codecName, "aac");
    EXPECT_EQ(info.audio->sampleRate, 48000);
    EXPECT_EQ(info.audio->channels, 2);
    EXPECT_NE(info.video->streamIndex, info.audio->streamIndex);
    EXPECT_NE(info.containerName.find("mp4"), std::string::npos);
}

TEST_F(ProbeClip, Mpeg4AndPcmInAvi) {
    testmedia::ClipSpec recipe;
    recipe.container = "avi";
    recipe.videoCodec = "mpeg4";
    recipe.audioCodec = "pcm_s16le";
    recipe.frameRate = "25";
    recipe.seconds = 1.6;
    recipe.channels = 1;
    ClipInfo info = probeClip(make("mpeg4.avi", recipe));
    expectLength(info, 1.6, 25);
    ASSERT_TRUE(info.video && info.audio);
    EXPECT_EQ(info.video->codecName, "mpeg4");
    EXPECT_NEAR(info.video->frameRate(), 25.0, 1e-9);
    EXPECT_EQ(info.audio->codecName, "pcm_s16le");
    EXPECT_EQ(info.audio->channels, 1);
    EXPECT_EQ(info.containerName, "avi");
}

TEST_F(ProbeClip, Vp8AndVorbisInWebm) {
    testmedia::ClipSpec recipe;
    recipe.container = "webm";
    recipe.videoCodec = "libvpx";
    recipe.audioCodec = "libvorbis";
    recipe.frameRate = "24";
    recipe.seconds = 1.0;
    recipe.extraOutputArgs = "-deadline realtime -cpu-used 8";
    ClipInfo info = probeClip(make("vp8.webm", recipe));
    expectLength(info, 1.0, 24);
    ASSERT_TRUE(info.video && info.audio);
    EXPECT_EQ(info.video->codecName, "vp8");
    EXPECT_EQ(info.audio->codecName, "vorbis");
}

TEST_F(ProbeClip, VideoOnlyVp9InMatroskaAtNtscRate) {
    testmedia::ClipSpec recipe;
    recipe.container = "mkv";
    recipe.videoCodec = "libvpx-vp9";
    recipe.audioCodec = "";
    recipe.frameRate = "30000/1001";
    recipe.width = 176;
    recipe.height = 144;
    recipe.seconds = 1.2;
    recipe.extraOutputArgs = "-deadline realtime -cpu-used 8";
    ClipInfo info = probeClip(make("vp9.mkv", recipe));
    expectLength(info, 1.2, 29.97);
    ASSERT_TRUE(info.video);
    EXPECT_FALSE(info.audio);
    EXPECT_EQ(info.video->codecName, "vp9");
    EXPECT_EQ(info.video->width, 176);
    EXPECT_NEAR(info.video->frameRate(), 30000.0 / 1001.0, 1e-6);
}

TEST_F(ProbeClip, AudioOnlyWavAndMp3) {
    testmedia::ClipSpec wav;
    wav.container = "wav";
    wav.videoCodec = "";
    wav.audioCodec = "pcm_s16le";
    wav.sampleRate = 22050;
    wav.seconds = 1.25;
    ClipInfo info = probeClip(make("tone.wav", wav));
    expectLength(info, 1.25, 1000);  // sound has no frames: within a millisecond
    EXPECT_FALSE(info.video);
    ASSERT_TRUE(info.audio);
    EXPECT_EQ(info.audio->codecName, "pcm_s16le");
    EXPECT_EQ(info.audio->sampleRate, 22050);

    testmedia::ClipSpec mp3 = wav;
    mp3.container = "mp3";
    mp3.audioCodec = "libmp3lame";
    mp3.sampleRate = 44100;
    mp3.seconds = 2.0;
    info = probeClip(make("tone.mp3", mp3));
    // An MP3 frame holds 1152 samples, 26 ms at 44.1 kHz; the encoder's delay and padding
    // add up to one more frame to the sound it was given.
    expectLength(info, 2.0, 44100.0 / 1152 / 2);
    ASSERT_TRUE(info.audio);
    EXPECT_EQ(info.audio->codecName, "mp3");
}

TEST_F(ProbeClip, RotationTagAndPixelShapeAreReported) {
    testmedia::ClipSpec recipe;
    recipe.audioCodec = "";
    recipe.seconds = 1.0;
    recipe.extraOutputArgs = "-vf setsar=16/11";
    std::string path = make("rotated.mp4", recipe);
    ASSERT_TRUE(tagMp4Rotation90(path));
    ClipInfo info = probeClip(path);
    expectLength(info, 1.0, 30);
    ASSERT_TRUE(info.video);
    EXPECT_EQ(info.video->rotationDegrees, 90);
    EXPECT_EQ(info.video->sampleAspectNum, 16);
    EXPECT_EQ(info.video->sampleAspectDen, 11);
    EXPECT_NEAR(info.video->displayAspect(), 320.0 * 16 / 11 / 240, 1e-9);
}

TEST_F(ProbeClip, MusicFileCoverIsNotVideo) {
    testmedia::ClipSpec cover;
    cover.container = "png";
    cover.audioCodec = "";
    cover.videoCodec = "png";
    std::string png = dir_ + "/cover.png";
    ASSERT_EQ(
        testmedia::run(
            "ffmpeg -nostdin -loglevel error -y -f lavfi -i color=c=blue:s=64x64 -frames:v 1 '" +
            png + "'"),
        0);
    std::string mp3 = dir_ + "/withcover.mp3";
    ASSERT_EQ(
        testmedia::run("ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=duration=1 -i '" + png +
                       "' -map 0 -map 1 -c:a libmp3lame -c:v copy -disposition:v attached_pic '" +
                       mp3 + "'"),
        0);
    ClipInfo info = probeClip(mp3);
    ASSERT_TRUE(info.ok()) << info.status.text();
    EXPECT_FALSE(info.video);
    EXPECT_TRUE(info.audio);
}

}  // namespace
