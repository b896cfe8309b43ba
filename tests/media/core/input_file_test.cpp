// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/core/input_file.h"

#include <gtest/gtest.h>

#include <thread>

#include "media/core/clip_reader.h"
#include "support/media/stalled_file.h"
#include "support/media/test_media.h"

namespace {

int countPackets(AVFormatContext* input, int* lastError) {
    media::av::PacketPtr pkt = media::av::makePacket();
    int n = 0;
    for (;;) {
        int rc = av_read_frame(input, pkt.get());
        if (rc < 0) {
            *lastError = rc;
            return n;
        }
        ++n;
        av_packet_unref(pkt.get());
    }
}

// The time limit of opening must not reach into the reading that follows, which for a
// clip being joined goes on for minutes.
TEST(InputFile, ReadingGoesOnAfterTheOpeningTimeLimit) {
    const std::string dir = testmedia::scratchDir("input_file");
    testmedia::ClipSpec recipe;
    recipe.container = "mkv";
    recipe.audioCodec = "";
    recipe.seconds = 1.0;
    recipe.width = 64;
    recipe.height = 48;
    ASSERT_TRUE(testmedia::makeClip(dir + "/clip.mkv", recipe));

    media::InputLimits limits;
    limits.openTimeout = std::chrono::milliseconds(150);
    media::av::InputPtr input;
    ASSERT_TRUE(media::openInputFile(dir + "/clip.mkv", input, limits).isOk());
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    // Seeking back makes the demuxer read the file again through its I/O layer.
    ASSERT_GE(avformat_seek_file(input.get(), -1, INT64_MIN, 0, INT64_MAX, 0), 0);
    int lastError = 0;
    EXPECT_EQ(countPackets(input.get(), &lastError), 30);
    EXPECT_EQ(lastError, AVERROR_EOF);
}

TEST(InputFile, ReadDeadlineStopsReadingOnThisThreadOnly) {
    const std::string dir = testmedia::scratchDir("input_file_deadline");
    testmedia::ClipSpec recipe;
    recipe.container = "mkv";
    recipe.audioCodec = "";
    recipe.seconds = 1.0;
    recipe.width = 320;
    recipe.height = 240;
    // Grain makes every picture large, so that reading the file takes many reads.
    recipe.extraOutputArgs = "-vf noise=alls=80:allf=t -qp 0";
    ASSERT_TRUE(testmedia::makeClip(dir + "/clip.mkv", recipe));
    media::av::InputPtr input;
    ASSERT_TRUE(media::openInputFile(dir + "/clip.mkv", input).isOk());
    {
        media::ReadDeadline deadline(std::chrono::milliseconds(0));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        EXPECT_TRUE(deadline.expired());
        // Another thread reading its own input is not limited by this thread's deadline.
        std::thread other([&] {
            media::av::InputPtr second;
            ASSERT_TRUE(media::openInputFile(dir + "/clip.mkv", second).isOk());
            int err = 0;
            EXPECT_EQ(countPackets(second.get(), &err), 30);
        });
        other.join();
        avformat_seek_file(input.get(), -1, INT64_MIN, 0, INT64_MAX, 0);
        int lastError = 0;
        countPackets(input.get(), &lastError);
        EXPECT_EQ(lastError, AVERROR_EXIT);
    }
    // Once the deadline has ended, reading on this thread is free again.
    media::av::InputPtr again;
    ASSERT_TRUE(media::openInputFile(dir + "/clip.mkv", again).isOk());
    int lastError = 0;
    EXPECT_EQ(countPackets(again.get(), &lastError), 30);
    EXPECT_EQ(lastError, AVERROR_EOF);
}

// A file that stops answering is named as one that gave no data, wherever it stops: while
// it is opened under a time budget shorter than the stall limit, too. A caller that means
// to give up at its own limit does so, waiting no longer.
TEST(InputFile, AFileThatGivesNoDataWhileOpenedSaysSoUnlessGivenUpFirst) {
    const std::string dir = testmedia::scratchDir("input_file_stalled");
    testmedia::ClipSpec recipe;
    recipe.container = "mkv";
    recipe.seconds = 0.5;
    recipe.width = 64;
    recipe.height = 48;
    const std::string path = dir + "/stalling.mkv";
    ASSERT_TRUE(testmedia::makeClip(path, recipe));
    const auto previousLimit = media::readStallLimit();
    media::setReadStallLimit(std::chrono::milliseconds(400));
    {
        testmedia::StalledFile stalled(path);
        media::InputLimits limits;
        limits.openTimeout = std::chrono::milliseconds(100);
        media::av::InputPtr input;
        const media::Status opened = media::openInputFile(path, input, limits);
        EXPECT_EQ(opened.text(), path + " gave no data for 0.4 seconds.");

        const auto start = std::chrono::steady_clock::now();
        const media::ReadCancel giveUp(std::chrono::milliseconds(100));
        const media::Status givenUp = media::openInputFile(path, input, limits);
        EXPECT_TRUE(givenUp.failed());
        EXPECT_NE(givenUp.text(), opened.text());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    }
    media::setReadStallLimit(previousLimit);
}

}  // namespace
