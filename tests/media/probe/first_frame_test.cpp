// SPDX-License-Identifier: GPL-3.0-or-later
// The first picture of a clip, scaled: real pixels of generated clips.
#include "media/probe/first_frame.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/media/test_media.h"

using media::Frame;
using media::readFirstFrame;

namespace {

void expectColour(const Frame& f, int x, int y, std::array<int, 3> rgb, int tolerance = 12) {
    auto got = f.rgbAt(x, y);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(got[i], rgb[i], tolerance) << "channel " << i << " at " << x << "," << y;
}

class FirstFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dir_ = testmedia::scratchDir("probe_first_frame"); }
    static inline std::string dir_;

    // Left half green and right half blue for the first 0.2 s, then all red.
    static std::string splitThenRed(const std::string& name, const std::string& codecArgs) {
        std::string p = dir_ + "/" + name;
        std::string cmd =
            "ffmpeg -nostdin -loglevel error -y -f lavfi -i color=c=blue:s=160x120:r=25:d=1 -vf "
            "'drawbox=x=0:y=0:w=80:h=120:color=lime:t=fill,"
            "drawbox=x=0:y=0:w=iw:h=ih:color=red:t=fill:enable=gte(t\\,0.2)' " +
            codecArgs + " '" + p + "'";
        EXPECT_EQ(testmedia::run(cmd), 0) << cmd;
        return p;
    }
};

TEST_F(FirstFrame, FirstPictureScaledToTheRequestedSize) {
    std::string p = splitThenRed("split.mp4", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p");
    Frame f;
    media::Status s = readFirstFrame(p, 64, 30, f);
    ASSERT_TRUE(s.isOk()) << s.text();
    ASSERT_EQ(f.width(), 64);
    ASSERT_EQ(f.height(), 30);
    EXPECT_EQ(f.pts, 0);
    expectColour(f, 8, 15, {0, 255, 0});
    expectColour(f, 56, 15, {0, 0, 255});

    // Odd sizes and growing both work.
    ASSERT_TRUE(readFirstFrame(p, 33, 17, f).isOk());
    expectColour(f, 2, 16, {0, 255, 0});
    expectColour(f, 32, 0, {0, 0, 255});
    ASSERT_TRUE(readFirstFrame(p, 321, 241, f).isOk());
    expectColour(f, 320, 240, {0, 0, 255});
}

TEST_F(FirstFrame, FullRangeSourceKeepsItsColours) {
    // Motion JPEG stores full-range pictures; read as limited range, grey would go pale.
    std::string p = dir_ + "/grey.avi";
    ASSERT_EQ(
        testmedia::run(
            "ffmpeg -nostdin -loglevel error -y -f lavfi -i color=c=0x404040:s=64x48:r=10:d=0.3 "
            "-c:v mjpeg -pix_fmt yuvj420p '" +
            p + "'"),
        0);
    Frame f;
    ASSERT_TRUE(readFirstFrame(p, 32, 24, f).isOk());
    expectColour(f, 16, 12, {0x40, 0x40, 0x40}, 6);
}

TEST_F(FirstFrame, ClipsWithoutAPictureFail) {
    testmedia::ClipSpec sound;
    sound.container = "wav";
    sound.videoCodec = "";
    sound.audioCodec = "pcm_s16le";
    sound.seconds = 0.5;
    std::string wav = dir_ + "/tone.wav";
    ASSERT_TRUE(testmedia::makeClip(wav, sound));
    Frame f(4, 4);
    media::Status s = readFirstFrame(wav, 64, 48, f);
    EXPECT_TRUE(s.failed());
    EXPECT_NE(s.text().find("no picture"), std::string::npos) << s.text();
    EXPECT_TRUE(f.empty());

    std::string junk = dir_ + "/junk.mp4";
    std::ofstream(junk) << "not a clip at all";
    EXPECT_TRUE(readFirstFrame(junk, 64, 48, f).failed());

    testmedia::ClipSpec video;
    video.audioCodec = "";
    video.seconds = 0.3;
    std::string mp4 = dir_ + "/ok.mp4";
    ASSERT_TRUE(testmedia::makeClip(mp4, video));
    EXPECT_EQ(readFirstFrame(mp4, 0, 48, f).code(), media::Status::kInvalidArg);
    EXPECT_EQ(readFirstFrame(mp4, 64, -1, f).code(), media::Status::kInvalidArg);
    EXPECT_EQ(readFirstFrame(mp4, 100000, 48, f).code(), media::Status::kInvalidArg);
}

TEST_F(FirstFrame, PicturesThatNeverDecodeFailWithinBounds) {
    // A valid container whose picture data is all damaged: every packet fails to decode.
    testmedia::ClipSpec recipe;
    recipe.audioCodec = "";
    recipe.seconds = 0.5;
    recipe.extraOutputArgs = "-movflags +faststart";
    std::string p = dir_ + "/garbled.mp4";
    ASSERT_TRUE(testmedia::makeClip(p, recipe));
    std::string bytes;
    {
        std::ifstream in(p, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::size_t mdat = bytes.find("mdat");
    ASSERT_NE(mdat, std::string::npos);
    for (std::size_t i = mdat + 4; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0xFF);
    {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    Frame f;
    media::Status s = readFirstFrame(p, 32, 24, f);
    EXPECT_TRUE(s.failed());
    EXPECT_TRUE(f.empty());
}

}  // namespace
