// SPDX-License-Identifier: GPL-3.0-or-later
// What a viewer checks first in a joined file: every clip's picture in step with its sound,
// the clips in their order, and a join that never hangs on a clip that stops answering.
#include <chrono>
#include <filesystem>

#include "join_fixture.h"
#include "media/core/clip_reader.h"
#include "output/filter_property_dialog.h"
#include "timeline/output_renderer.h"
#include "support/media/installed_compressor.h"
#include "support/media/stalled_file.h"

using namespace jointest;
using media::codecs::CompressorCategory;

namespace {

constexpr double kFps = 25;
constexpr double kClipSeconds = 3;

// A clip whose picture flashes white at the very instant its beep starts, half a second
// after its own transition has ended, and is not white at its end.
// With `keyEverySecond`, an IDR picture each second, so that a join can copy its pictures.
std::string markedClip(const std::string& dir, const char* colour, double markAt, bool keyEverySecond = false) {
    // MP4 for a copying join: its edit list starts the pictures at the sound's start, where
    // Matroska would shift them by the encoder's delay, off the output's frame grid.
    const std::string path = dir + "/" + colour + "_" + std::to_string(int(markAt * 10)) +
                             (keyEverySecond ? "_k.mp4" : ".mkv");
    if (std::filesystem::exists(path)) return path;
    testmedia::ClipSpec recipe;
    recipe.container = keyEverySecond ? "mp4" : "mkv";
    recipe.width = 160;
    recipe.height = 120;
    recipe.frameRate = "25";
    recipe.seconds = kClipSeconds;
    recipe.colour = colour;
    recipe.toneHz = 1000;
    recipe.syncMarkAt = markAt;
    if (keyEverySecond) recipe.extraOutputArgs = "-g 25 -keyint_min 25 -sc_threshold 0";
    return testmedia::makeClip(path, recipe) ? path : std::string();
}

bool white(const std::array<int, 3>& c) { return c[0] > 200 && c[1] > 200 && c[2] > 200; }

class SyncTest : public JoinTest {
protected:
    // Joins three marked clips with the given transition lengths (seconds, every one a
    // Fade) and checks that each clip's flash and beep lie within one output frame.
    void joinAndCheckMarks(const std::string& name, const std::array<int, 3>& transitions,
                           bool copying = false) {
        SCOPED_TRACE(name);
        OutputOptions& o = window_->outputOptions();
        o.frameRate = kFps;
        ClipList& list = window_->clips();
        list.clear();
        const char* colours[] = {"red", "lime", "blue"};
        for (int i = 0; i < 3; ++i) {
            const std::string clip = markedClip(clipDir(), colours[i], transitions[i] + 0.5, copying);
            ASSERT_FALSE(clip.empty());
            list.append(clip, static_cast<media::Ticks>(kClipSeconds * kSecond), transitions[i] ? 3 : 0,
                        transitions[i] * kSecond);
        }
        list.rebuildAudioSources();
        const std::string path = output(name);
        pressJoin();
        ASSERT_TRUE(waitUntilIdle());
        ASSERT_TRUE(window_->statusText().startsWith("Done. ")) << lastMessage().toStdString();
        if (copying) {
            EXPECT_TRUE(window_->statusText().contains(" copied") &&
                        !window_->statusText().contains("0:00 copied"))
                << window_->statusText().toStdString();
        }

        writertest::ReadBack back;
        back.keepSound = true;
        back.keepPictures = true;
        std::string error;
        ASSERT_TRUE(writertest::readBack(path, back, &error)) << error;
        ASSERT_GT(back.audioRate, 0);
        ASSERT_FALSE(back.pictures.empty());
        double firstPicture = back.pictures.front().shown;
        for (const auto& p : back.pictures) firstPicture = std::min(firstPicture, p.shown);
        for (int i = 0; i < 3; ++i) {
            const double from = firstPicture + i * kClipSeconds, to = from + kClipSeconds;
            double flash = -1;
            for (const auto& p : back.pictures)
                if (p.shown >= from && p.shown < to && white(p.centre) && (flash < 0 || p.shown < flash))
                    flash = p.shown;
            double beep = -1;
            for (std::size_t k = 0; k < back.sound.size(); ++k) {
                const double t = back.soundStart + static_cast<double>(k) / back.audioRate;
                if (t >= from && t < to && std::abs(back.sound[k]) > 0.05) {
                    beep = t;
                    break;
                }
            }
            ASSERT_GE(flash, 0) << "clip " << i << " shows no flash";
            ASSERT_GE(beep, 0) << "clip " << i << " gives no beep";
            EXPECT_LE(std::abs(flash - beep), 1.0 / kFps) << "clip " << i << ": flash at " << flash << " s, beep at "
                                                          << beep << " s";
            // On the file's own clock, which a container may start above zero.
            // The marked frame itself starts up to a frame after the mark.
            EXPECT_NEAR(flash - from, transitions[i] + 0.5, 2.0 / kFps)
                << "clip " << i << ", first picture at " << firstPicture << " s, sound from " << back.soundStart;
        }
    }

    // The output format with the named video compressor and AAC; false when one is missing.
    bool compressWith(int format, const char* video) {
        window_->boundCompressors().video = testmedia::installedCompressor(CompressorCategory::Video, video);
        window_->boundCompressors().audio = testmedia::installedCompressor(CompressorCategory::Audio, "aac");
        OutputOptions& o = window_->outputOptions();
        o.outputFormat = format;
        o.useVideoCompressor = 1;
        o.useAudioCompressor = 1;
        return window_->boundCompressors().video && window_->boundCompressors().audio;
    }

    static const std::string& clipDir() {
        static const std::string dir = testmedia::scratchDir("sync_clips");
        return dir;
    }
};

}  // namespace

TEST_F(SyncTest, EveryClipsFlashAndBeepStayTogetherInMatroskaAndWindowsMedia) {
    ASSERT_TRUE(compressWith(2, "mpeg4"));
    joinAndCheckMarks("none.mkv", {0, 0, 0});
    joinAndCheckMarks("one.mkv", {1, 1, 1});
    joinAndCheckMarks("mixed.mkv", {2, 0, 1});
    window_->outputOptions().outputFormat = 1;
    joinAndCheckMarks("two.wmv", {2, 2, 2});
    joinAndCheckMarks("mixed.wmv", {1, 2, 0});
}

TEST_F(SyncTest, CopiedPicturesStayWithTheirSound) {
    ASSERT_TRUE(compressWith(4, "libx264"));
    ASSERT_EQ(window_->outputOptions().copyUnchanged, 1);
    // The MP4 writer's property dialog is accepted as it opens.
    auto previous = timeline::setFilterDialogRunner([](CDialogFilterPerproty&) {});
    joinAndCheckMarks("none.mp4", {0, 0, 0}, true);
    joinAndCheckMarks("one.mp4", {1, 1, 1}, true);
    joinAndCheckMarks("two.mp4", {2, 2, 2}, true);
    timeline::setFilterDialogRunner(previous);
}

TEST_F(SyncTest, TransitionsLongerThanTheClipsKeepTheClipsInTheirOrder) {
    // Three 4 s clips, each with a 10 s transition: B and C are told their transition is
    // too long, and the file shows A (coming in from black), then B, then C.
    ClipList& list = window_->clips();
    for (int i = 0; i < 3; ++i) list.append(testClips()[i].path, 4 * kSecond, 3, 10 * kSecond);
    list.rebuildAudioSources();
    window_->outputOptions().outputFormat = 1;
    const std::string path = output("order.wmv");
    pressJoin();
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_TRUE(window_->statusText().startsWith("Done. ")) << lastMessage().toStdString();
    ASSERT_EQ(boxes_.messages.size(), 2u);
    EXPECT_EQ(boxes_.messages[0].text, "Transition time should be less than");

    writertest::ReadBack back;
    back.colourTimes = {3.5, 6, 11};
    std::string error;
    ASSERT_TRUE(writertest::readBack(path, back, &error)) << error;
    const auto& a = back.colours[0];
    EXPECT_TRUE(a[0] > 40 && a[0] > a[1] + 20 && a[0] > a[2] + 20) << a[0] << "," << a[1] << "," << a[2];
    EXPECT_TRUE(writertest::nearColour(back.colours[1], testClips()[1].rgb, 60));
    EXPECT_TRUE(writertest::nearColour(back.colours[2], testClips()[2].rgb, 60));
}

TEST_F(SyncTest, AClipThatStopsAnsweringEndsTheJoinAndStopNeverWaitsForIt) {
    window_->outputOptions().outputFormat = 1;
    ClipList& list = window_->clips();
    list.append(testClips()[0].path, 2 * kSecond, 0, 0);
    list.append(testClips()[1].path, 2 * kSecond, 0, 0);
    list.rebuildAudioSources();
    const auto previousLimit = media::readStallLimit();
    {
        // The second clip opens, then gives nothing more.
        testmedia::StalledFile stalled(testClips()[1].path);
        media::setReadStallLimit(std::chrono::milliseconds(1500));
        const std::string path = output("stalled.wmv");
        pressJoin();
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(waitUntilIdle(20000));
        EXPECT_LT(clock.elapsed(), 10000);
        EXPECT_EQ(lastMessage(), QString::fromStdString("The join stopped: " + testClips()[1].path +
                                                        " gave no data for 1.5 seconds."));
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
    }
    {
        // Stopped by hand while the read hangs: control comes back at once and the file
        // keeps what was written.
        testmedia::StalledFile stalled(testClips()[1].path);
        media::setReadStallLimit(std::chrono::seconds(30));
        const std::string path = output("stopped.wmv");
        pressJoin();
        ASSERT_TRUE(window_->jobState().converting());
        QElapsedTimer wait;
        wait.start();
        while (stalled.held() == 0 && wait.elapsed() < 10000) QThread::msleep(10);
        ASSERT_GT(stalled.held(), 0);
        QElapsedTimer clock;
        clock.start();
        pressJoin();
        EXPECT_LT(clock.elapsed(), 1000);
        EXPECT_FALSE(window_->jobState().converting());
        EXPECT_TRUE(window_->statusText().startsWith("Done. "));
        writertest::ReadBack back;
        std::string error;
        EXPECT_TRUE(writertest::readBack(path, back, &error)) << error;
        EXPECT_GT(back.framesDecoded, 0);
    }
    media::setReadStallLimit(previousLimit);
}
