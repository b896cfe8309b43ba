// SPDX-License-Identifier: GPL-3.0-or-later
// A join that ends before it wrote anything worth a file: stopped before its first picture,
// or cut off by a clip that stops answering part way. Either way the older file of the
// output's name is left as it was and no unfinished file stays behind.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/join_checks.h"
#include "join_fixture.h"
#include "media/core/clip_reader.h"
#include "support/media/installed_compressor.h"
#include "support/media/stalled_file.h"
#include "timeline/output_renderer.h"

using namespace jointest;
using media::codecs::CompressorCategory;

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class StoppedJoin : public JoinTest {
protected:
    // An older file of the output's name: a real video, so that a player would show it.
    std::string olderFile(const std::string& name) {
        const std::string path = output(name);
        std::filesystem::copy_file(testClips()[2].path, path,
                                   std::filesystem::copy_options::overwrite_existing);
        return path;
    }

    void useCompressors(int format) {
        const bool avi = format == 0;
        window_->boundCompressors().video =
            testmedia::installedCompressor(CompressorCategory::Video, avi ? "mpeg4" : "libx264");
        window_->boundCompressors().audio =
            testmedia::installedCompressor(CompressorCategory::Audio, avi ? "adpcm_ms" : "aac");
        OutputOptions& o = window_->outputOptions();
        o.outputFormat = format;
        o.useVideoCompressor = 1;
        o.useAudioCompressor = 1;
    }

    // Processes the window's events until `done` holds; false when it never does.
    bool runUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > timeoutMs) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return true;
    }
};

}  // namespace

TEST_F(StoppedJoin, AStopBeforeTheFirstPictureLeavesTheOlderFileAsItWas) {
    auto previous = timeline::setFilterDialogRunner([](CDialogFilterPerproty&) {});
    const struct {
        int format;
        const char* name;
    } cases[] = {{2, "older.mkv"}, {4, "older.mp4"}, {0, "older.avi"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        useCompressors(c.format);
        ASSERT_TRUE(window_->boundCompressors().video && window_->boundCompressors().audio);
        const std::string path = olderFile(c.name);
        const std::string older = bytesOf(path);
        ClipList& list = window_->clips();
        list.clear();
        list.append(testClips()[0].path, 2 * kSecond, 0, 0);
        list.append(testClips()[1].path, 2 * kSecond, 0, 0);
        list.rebuildAudioSources();
        boxes_.messages.clear();
        boxes_.answers = {ui::Answer::Yes};  // replace the older file

        // The first clip gives nothing from its first read on: no picture can be written
        // until the Stop, however slow or fast the machine.
        testmedia::StalledFile stalled(testClips()[0].path);
        QElapsedTimer sinceJoin;
        sinceJoin.start();
        pressJoin();
        ASSERT_TRUE(window_->jobState().converting()) << lastMessage().toStdString();
        ASSERT_TRUE(runUntil([&] { return stalled.held() > 0 && sinceJoin.elapsed() >= 500; }));
        EXPECT_LE(window_->jobState().progress(), 0.0);
        pressJoin();

        EXPECT_FALSE(window_->jobState().converting());
        EXPECT_FALSE(window_->statusText().startsWith("Done."));
        ASSERT_EQ(boxes_.messages.size(), 2u);
        EXPECT_EQ(lastMessage(), "The join was stopped before anything was written; " +
                                     QString::fromStdString(path) + " was left as it was.");
        EXPECT_EQ(boxes_.messages.back().caption, "Warning");
        EXPECT_TRUE(bytesOf(path) == older) << "the older file is unchanged";
        EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
    }
    // With no older file, none is made.
    const std::string fresh = output("fresh.mkv");
    useCompressors(2);
    {
        testmedia::StalledFile stalled(testClips()[0].path);
        pressJoin();
        ASSERT_TRUE(runUntil([&] { return stalled.held() > 0; }));
        pressJoin();
    }
    EXPECT_EQ(lastMessage(), "The join was stopped before anything was written; " +
                                 QString::fromStdString(fresh) + " was not made.");
    EXPECT_FALSE(std::filesystem::exists(fresh));
    timeline::setFilterDialogRunner(previous);
}

TEST_F(StoppedJoin, AClipThatStopsAnsweringPartWayEndsTheJoinAndKeepsTheOlderFile) {
    // Uncompressed pictures, so that the clip is read in many pieces and stops part way.
    testmedia::ClipSpec recipe;
    recipe.container = "avi";
    recipe.videoCodec = "rawvideo";
    recipe.audioCodec = "pcm_s16le";
    recipe.width = 160;
    recipe.height = 120;
    recipe.frameRate = "25";
    recipe.seconds = 4;
    recipe.colour = "yellow";
    const std::string stalling = dir_ + "/stalling.avi";
    ASSERT_TRUE(testmedia::makeClip(stalling, recipe));
    useCompressors(2);
    const std::string path = olderFile("older.mkv");
    const std::string older = bytesOf(path);
    ClipList& list = window_->clips();
    list.append(testClips()[0].path, 1 * kSecond, 0, 0);
    list.append(stalling, 4 * kSecond, 0, 0);
    list.rebuildAudioSources();
    boxes_.answers = {ui::Answer::Yes};

    const auto previousLimit = media::readStallLimit();
    media::setReadStallLimit(std::chrono::seconds(1));
    double mostDone = 0;
    {
        // Every opening of the clip reads its first 20 pieces (about 40 of its 100
        // pictures, and their sound), then nothing more.
        testmedia::StalledFile stalled(stalling, 0, 20);
        pressJoin();
        ASSERT_TRUE(window_->jobState().converting()) << lastMessage().toStdString();
        ASSERT_TRUE(runUntil(
            [&] {
                mostDone = std::max(mostDone, window_->jobState().progress());
                return !window_->jobState().converting();
            },
            30000));
    }
    media::setReadStallLimit(previousLimit);
    // Five seconds at 10 pictures a second: the first clip's 10 and some of the second's
    // were written before it stopped answering.
    EXPECT_GT(mostDone * 50, 12.0);
    EXPECT_EQ(lastMessage(), QString::fromStdString("The join stopped: " + stalling +
                                                    " gave no data for 1 second."));
    EXPECT_FALSE(window_->statusText().startsWith("Done."));
    EXPECT_TRUE(bytesOf(path) == older) << "the older file is unchanged";
    EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
}
