// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a small file the program keeps (its clip list) through the reading layer: only a
// regular file, never more than asked, and never longer than the caller's deadline.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "media/core/clip_reader.h"
#include "media/core/input_file.h"
#include "support/media/stalled_file.h"
#include "support/media/test_media.h"

using namespace std::chrono_literals;

TEST(SmallFile, OnlyARegularFileIsReadAndNeverMoreThanAsked) {
    const std::string dir = testmedia::scratchDir("small_file");
    std::string bytes;
    std::ofstream(dir + "/list.json") << "{\"clips\":[]}";
    ASSERT_TRUE(media::readSmallFile(dir + "/list.json", 100, bytes).isOk());
    EXPECT_EQ(bytes, "{\"clips\":[]}");
    EXPECT_EQ(media::readSmallFile(dir + "/list.json", 5, bytes).code(), media::kFileTooLarge);
    EXPECT_TRUE(bytes.empty());

    // A file that claims gigabytes is read no further than the limit.
    std::ofstream(dir + "/huge").close();
    std::filesystem::resize_file(dir + "/huge", 8LL << 30);
    EXPECT_EQ(media::readSmallFile(dir + "/huge", 1 << 20, bytes).code(), media::kFileTooLarge);

    ASSERT_EQ(::mkfifo((dir + "/pipe").c_str(), 0600), 0);
    EXPECT_EQ(media::readSmallFile(dir + "/pipe", 100, bytes).code(), media::Status::kInvalidArg);
    ASSERT_EQ(::symlink("/dev/zero", (dir + "/zero").c_str()), 0);
    EXPECT_EQ(media::readSmallFile(dir + "/zero", 100, bytes).code(), media::Status::kInvalidArg);
    EXPECT_EQ(media::readSmallFile(dir + "/none", 100, bytes).code(), media::Status::kFileNotFound);

    // What a dropped path names is asked the same way.
    EXPECT_EQ(media::lookAtFile(dir + "/list.json"), media::FileKind::Regular);
    EXPECT_EQ(media::lookAtFile(dir), media::FileKind::Folder);
    EXPECT_EQ(media::lookAtFile(dir + "/pipe"), media::FileKind::Other);
    EXPECT_EQ(media::lookAtFile(dir + "/none"), media::FileKind::Missing);
    EXPECT_EQ(media::lookAtFile(dir + "/list.json/x"), media::FileKind::Missing);
}

TEST(SmallFile, AFileWhoseOpenNeverAnswersIsGivenUpAtItsLimit) {
    const std::string path = testmedia::scratchDir("small_file_stalled") + "/list.json";
    std::ofstream(path) << "[]";
    testmedia::StalledFile stalled(path, 0, testmedia::StalledFile::Stall::Open);
    std::string bytes;
    const auto start = std::chrono::steady_clock::now();
    media::Status read;
    {
        const media::ReadCancel giveUp(200ms);
        read = media::readSmallFile(path, 100, bytes);
    }
    EXPECT_TRUE(read.failed());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(stalled.held(), 1) << "the open is still waiting, on the reading layer's own thread";
}
