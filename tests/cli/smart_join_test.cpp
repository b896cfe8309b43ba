// SPDX-License-Identifier: GPL-3.0-or-later
// Joins that copy the clips' own pictures: clips whose every picture shows its clip and
// picture number, joined by clipfuse-join and decoded again by two players.
#include <QProcess>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "clipfuse_join_fixture.h"
#include "support/media/test_media.h"

namespace {

constexpr int kWidth = 320, kHeight = 240, kFps = 30, kClipFrames = 120;  // 4 s clips

struct NumberedRecipe {
    std::string container = "mp4";
    int keyInterval = kFps;  // frames from one IDR picture to the next
    bool bFrames = true;
    int width = kWidth, height = kHeight;
    std::string rate = "30";
    std::string extra;  // more of ffmpeg's output options
    bool turned = false;  // stored with a display rotation of 90 degrees
};

// A 4 s clip whose picture k shows clip * 1024 + k as sixteen black or white blocks.
std::string numberedClip(int clip, const NumberedRecipe& r, const std::string& name) {
    static const std::string dir = testmedia::scratchDir("smart_clips");
    const std::string path = dir + "/" + name + "." + r.container;
    if (std::filesystem::exists(path)) return path;
    const std::string bits = "if(mod(floor((" + std::to_string(clip) +
                             "*1024+N)/pow(2,floor(X*8/W)+8*floor(Y*2/H))),2),235,16)";
    const std::string command =
        std::string(CLIPFUSE_FFMPEG_CLI) + " -v error -y -f lavfi -i \"color=c=gray:s=" +
        std::to_string(r.width) + "x" + std::to_string(r.height) + ":r=" + r.rate +
        ":d=4,format=yuv420p,geq=lum='" + bits + "':cb=128:cr=128\" -f lavfi -i sine=f=440:d=4 " +
        (r.extra.empty() ? "-c:v libx264" : "") + " -g " + std::to_string(r.keyInterval) +
        " -keyint_min " + std::to_string(r.keyInterval) + " -sc_threshold 0 " +
        (r.bFrames ? "" : "-bf 0 ") + r.extra + " -pix_fmt yuv420p -c:a aac -shortest " + path;
    if (testmedia::run(command) != 0) return {};
    if (!r.turned) return path;
    const std::string upright = path + ".upright." + r.container;
    std::filesystem::rename(path, upright);
    return testmedia::run(std::string(CLIPFUSE_FFMPEG_CLI) + " -v error -y -i " + upright +
                          " -c copy -metadata:s:v:0 rotate=90 " + path) == 0
               ? path
               : std::string();
}

using Picture = std::string;  // the raw 4:2:0 planes

// Every picture of the file's video, in the order shown.
std::vector<Picture> decodedPictures(const std::string& path, int width, int height) {
    const std::string raw = path + ".yuv";
    if (testmedia::run(std::string(CLIPFUSE_FFMPEG_CLI) + " -v error -y -i " + path +
                       " -map 0:v:0 -f rawvideo -pix_fmt yuv420p -vsync passthrough " + raw) != 0)
        return {};
    std::ifstream in(raw, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(raw);
    const std::size_t size = static_cast<std::size_t>(width * height * 3 / 2);
    std::vector<Picture> out;
    for (std::size_t at = 0; at + size <= all.size(); at += size) out.push_back(all.substr(at, size));
    return out;
}

// The number a picture shows; -1 when a block is neither black nor white (a transition).
int numberShown(const Picture& p, int width, int height) {
    int value = 0;
    for (int b = 0; b < 16; ++b) {
        const int x = (b % 8) * width / 8 + width / 16, y = (b / 8) * height / 2 + height / 4;
        const auto luma = static_cast<std::uint8_t>(p[static_cast<std::size_t>(y * width + x)]);
        if (luma > 60 && luma < 190) return -1;
        if (luma >= 190) value |= 1 << b;
    }
    return value;
}

// Output frames [first, end) that are, byte for byte, the clip's picture they show. An
// encoder can make a picture of plain blocks again exactly, so a frame outside may be too.
std::vector<std::pair<int, int>> identicalToTheirClips(const std::vector<Picture>& output,
                                                       const std::map<int, std::vector<Picture>>& clips) {
    std::vector<std::pair<int, int>> runs;
    for (std::size_t k = 0; k < output.size(); ++k) {
        const int n = numberShown(output[k], kWidth, kHeight);
        const auto clip = clips.find(n / 1024);
        if (n < 0 || clip == clips.end() || n % 1024 >= static_cast<int>(clip->second.size()) ||
            clip->second[static_cast<std::size_t>(n % 1024)] != output[k])
            continue;
        const int frame = static_cast<int>(k);
        if (!runs.empty() && runs.back().second == frame)
            ++runs.back().second;
        else
            runs.push_back({frame, frame + 1});
    }
    return runs;
}

// Whether every frame of `copied` lies in one of the runs.
bool covers(const std::vector<std::pair<int, int>>& runs, const std::vector<std::pair<int, int>>& copied) {
    for (const auto& [first, end] : copied) {
        bool inside = false;
        for (const auto& run : runs) inside = inside || (run.first <= first && end <= run.second);
        if (!inside) return false;
    }
    return true;
}

// Pictures that GStreamer's demuxer and decoder give for the file's video; -1 on an error.
// The sound is decoded too: a demuxer that reads both from one stream waits for it.
int gstreamerPictures(const std::string& path) {
    std::string out;
    const int rc = testmedia::run("timeout 120 gst-launch-1.0 -v filesrc location=" + path +
                                      " ! decodebin name=d d. ! video/x-raw ! fakesink name=pictures silent=false"
                                      " d. ! audio/x-raw ! fakesink 2>&1",
                                  &out);
    if (rc != 0) return -1;
    int n = 0;
    for (std::size_t at = 0; (at = out.find("chain   ******* (pictures:sink)", at)) != std::string::npos; ++at) ++n;
    return n;
}

class SmartJoin : public JoinProgram {
protected:
    static QStringList options(const std::string& container) {
        return {"--size", "320x240", "--fps", "30", "--effect", "Fade", "--transition-seconds", "1",
                "--video-codec", "libx264", "--audio-codec", "aac", "--format", q(container), "-q"};
    }

    Ran join(const std::string& out, const std::vector<std::string>& clips, QStringList extra = {}) {
        QStringList args = options(std::filesystem::path(out).extension().string().substr(1)) + extra;
        args << q(out);
        for (const auto& c : clips) args << q(c);
        return run(args);
    }

    static void expectDecodesEverywhere(const std::string& path, int pictures) {
        EXPECT_EQ(testmedia::run(std::string(CLIPFUSE_FFMPEG_CLI) + " -v error -xerror -i " + path +
                                 " -f null -"),
                  0)
            << path;
        EXPECT_EQ(gstreamerPictures(path), pictures) << path;
    }
};

TEST_F(SmartJoin, CopiesWholeGroupsOfPicturesBetweenTransitionsAsAFullEncodeWouldShowThem) {
    struct Case {
        std::string container;
        NumberedRecipe recipe;
        int copiedPerClip;  // groups after the 1 s transition that end by the clip's end
        const char* done;
    };
    NumberedRecipe twoSeconds;
    twoSeconds.keyInterval = 2 * kFps;
    twoSeconds.bFrames = false;
    const std::vector<Case> cases = {{"mp4", {}, 3 * kFps, "0:09 of 0:12 copied"},
                                     {"mkv", twoSeconds, 2 * kFps, "0:06 of 0:12 copied"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.container + " with key frames every " + std::to_string(c.recipe.keyInterval));
        std::vector<std::string> clips;
        std::map<int, std::vector<Picture>> clipPictures;
        for (int i = 1; i <= 3; ++i) {
            const std::string name = "k" + std::to_string(c.recipe.keyInterval) + (c.recipe.bFrames ? "b" : "") +
                                     "_" + std::to_string(i);
            clips.push_back(numberedClip(i, c.recipe, name));
            ASSERT_FALSE(clips.back().empty());
            clipPictures[i] = decodedPictures(clips.back(), kWidth, kHeight);
            ASSERT_EQ(clipPictures[i].size(), static_cast<std::size_t>(kClipFrames));
        }
        const std::string smart = path("smart." + c.container), full = path("full." + c.container);
        const Ran copied = join(smart, clips);
        ASSERT_EQ(copied.exitCode, 0) << copied.err.toStdString();
        EXPECT_TRUE(copied.out.contains(QString::fromUtf8(c.done))) << copied.out.toStdString();
        const Ran encoded = join(full, clips, {"--reencode-all"});
        ASSERT_EQ(encoded.exitCode, 0) << encoded.err.toStdString();
        EXPECT_FALSE(encoded.out.contains("copied")) << encoded.out.toStdString();

        const auto smartPictures = decodedPictures(smart, kWidth, kHeight);
        const auto fullPictures = decodedPictures(full, kWidth, kHeight);
        ASSERT_EQ(smartPictures.size(), static_cast<std::size_t>(3 * kClipFrames));
        ASSERT_EQ(fullPictures.size(), smartPictures.size());
        // Outside the transitions both show the same picture of the same clip at every frame.
        for (std::size_t k = 0; k < smartPictures.size(); ++k) {
            if (k % kClipFrames < static_cast<std::size_t>(kFps)) continue;
            const int expected = static_cast<int>((k / kClipFrames + 1) * 1024 + k % kClipFrames);
            ASSERT_EQ(numberShown(smartPictures[k], kWidth, kHeight), expected) << "frame " << k;
            ASSERT_EQ(numberShown(fullPictures[k], kWidth, kHeight), expected) << "frame " << k;
        }
        // The copied pictures are the clips' own to the byte: each clip's last groups.
        std::vector<std::pair<int, int>> copiedFrames;
        for (int i = 0; i < 3; ++i)
            copiedFrames.push_back({(i + 1) * kClipFrames - c.copiedPerClip, (i + 1) * kClipFrames});
        EXPECT_TRUE(covers(identicalToTheirClips(smartPictures, clipPictures), copiedFrames));
        expectDecodesEverywhere(smart, 3 * kClipFrames);
    }
}

TEST_F(SmartJoin, RendersTheClipsThatCannotBeCopiedAndCopiesTheRest) {
    NumberedRecipe larger, slower, hevc, turned, baseline;
    larger.width = 352;
    larger.height = 288;
    slower.rate = "25";
    slower.keyInterval = 25;
    hevc.extra = "-c:v libx265 -x265-params log-level=none";
    turned.turned = true;
    // The same parameter set identifiers as the others, with different contents.
    baseline.extra = "-c:v libx264 -profile:v baseline";
    baseline.bFrames = false;
    const std::vector<std::string> clips = {
        numberedClip(1, {}, "plain_1"),        numberedClip(2, larger, "larger"),
        numberedClip(3, slower, "slower"),     numberedClip(4, hevc, "hevc"),
        numberedClip(5, turned, "turned"),     numberedClip(6, baseline, "baseline"),
    };
    for (const auto& c : clips) ASSERT_FALSE(c.empty());
    std::map<int, std::vector<Picture>> clipPictures = {{1, decodedPictures(clips[0], kWidth, kHeight)},
                                                        {6, decodedPictures(clips[5], kWidth, kHeight)}};

    const std::string out = path("mixed.mp4");
    const Ran r = join(out, clips);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("0:03 of 0:24 copied")) << r.out.toStdString();
    const auto pictures = decodedPictures(out, kWidth, kHeight);
    ASSERT_EQ(pictures.size(), static_cast<std::size_t>(6 * kClipFrames));
    EXPECT_TRUE(covers(identicalToTheirClips(pictures, clipPictures), {{kFps, kClipFrames}}));
    expectDecodesEverywhere(out, 6 * kClipFrames);

    // The clip with its own parameter sets first: it is copied and the other one rendered.
    const std::string swapped = path("swapped.mkv");
    const Ran s = join(swapped, {clips[5], clips[0]});
    ASSERT_EQ(s.exitCode, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.contains("0:03 of 0:08 copied")) << s.out.toStdString();
    expectDecodesEverywhere(swapped, 2 * kClipFrames);

    const Ran none = join(path("none.mp4"), {clips[1]});
    ASSERT_EQ(none.exitCode, 0) << none.err.toStdString();
    EXPECT_TRUE(none.out.contains("0:00 copied: the clips are 352x288, the output 320x240")) << none.out.toStdString();
}

TEST_F(SmartJoin, InterruptingACopyingJoinKeepsAPlayableFile) {
    const std::string clip = numberedClip(1, {}, "plain_1");
    ASSERT_FALSE(clip.empty());
    const std::string out = path("stopped.mp4");
    QStringList args = options("mp4");
    args.removeAll("-q");
    args << q(out);
    for (int i = 0; i < 40; ++i) args << q(clip);
    QProcess p;
    start(p, args);
    const QByteArray err = interruptOnceWriting(p);
    ASSERT_FALSE(err.isEmpty());
    EXPECT_EQ(p.exitCode(), 130) << err.toStdString();
    const auto pictures = decodedPictures(out, kWidth, kHeight);
    EXPECT_GT(pictures.size(), 0u);
    EXPECT_LT(pictures.size(), static_cast<std::size_t>(40 * kClipFrames));
    expectDecodesEverywhere(out, static_cast<int>(pictures.size()));
}

}  // namespace
