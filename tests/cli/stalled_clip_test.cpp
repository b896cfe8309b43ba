// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line join with a clip that stops answering: measured or joined, it never
// hangs, an interruption is heard at once, and one that comes before the first picture
// leaves the older file of the output's name as it was.
#include <gtest/gtest.h>

#include <QFile>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/settings_store.h"
#include "cli/headless_join.h"
#include "media/core/clip_reader.h"
#include "support/media/stalled_file.h"
#include "support/media/test_media.h"
#include "support/media/written_file.h"
#include "support/qt/recorders.h"

namespace {

using Clock = std::chrono::steady_clock;

class StalledClip : public ::testing::Test {
protected:
    StalledClip() : store_("KORVANE", "stalled_clip_test"), previousLimit_(media::readStallLimit()) {
        QFile::remove(store_.filePath());
        dir_ = testmedia::scratchDir("cli_stalled");
        testmedia::ClipSpec recipe;
        recipe.width = 160;
        recipe.height = 120;
        recipe.frameRate = "25";
        good_ = dir_ + "/good.mp4";
        stalling_ = dir_ + "/stalling.mp4";
        made_ = testmedia::makeClip(good_, recipe) && testmedia::makeClip(stalling_, recipe);
        request_.output = QString::fromStdString(dir_ + "/out.wmv");
        request_.clips = {QString::fromStdString(good_), QString::fromStdString(stalling_)};
        request_.format = 1;
        request_.width = 160;
        request_.height = 120;
        request_.frameRate = 10;
        request_.quiet = true;
        terminal_.progress = terminal_.result = std::tmpfile();
    }
    ~StalledClip() override {
        media::setReadStallLimit(previousLimit_);
        std::fclose(terminal_.progress);
    }

    SettingsStore store_;
    std::chrono::milliseconds previousLimit_;
    std::string dir_, good_, stalling_;
    bool made_ = false;
    cli::JoinRequest request_;
    cli::Terminal terminal_;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST_F(StalledClip, AClipThatGivesNoDataWhileMeasuredIsRefused) {
    ASSERT_TRUE(made_);
    testmedia::StalledFile stalled(stalling_);
    media::setReadStallLimit(std::chrono::milliseconds(500));
    std::atomic<bool> stop{false};
    const auto began = Clock::now();
    EXPECT_EQ(cli::runHeadlessJoin(request_, store_, stop, terminal_), cli::kFailed);
    EXPECT_LT(Clock::now() - began, std::chrono::seconds(5));
    ASSERT_FALSE(boxes_.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(request_.output.toStdString()));
}

TEST_F(StalledClip, AnInterruptionIsHeardWhileAReadHangs) {
    ASSERT_TRUE(made_);
    // Measured in full when it is added; the join's own reads then hang.
    testmedia::StalledFile stalled(stalling_, 1);
    std::atomic<bool> stop{false};
    Clock::time_point stoppedAt;
    std::thread interrupter([&] {
        const auto giveUp = Clock::now() + std::chrono::seconds(20);
        while (stalled.held() == 0 && Clock::now() < giveUp) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        stoppedAt = Clock::now();
        stop = true;
    });
    const int code = cli::runHeadlessJoin(request_, store_, stop, terminal_);
    const auto returned = Clock::now();
    interrupter.join();
    EXPECT_EQ(code, cli::kStopped);
    EXPECT_LT(returned - stoppedAt, std::chrono::seconds(1));
    writertest::ReadBack back;
    std::string error;
    EXPECT_TRUE(writertest::readBack(request_.output.toStdString(), back, &error)) << error;
    EXPECT_GT(back.framesDecoded, 0);
}

TEST_F(StalledClip, AStopBeforeTheFirstPictureLeavesTheOlderFileAsItWas) {
    ASSERT_TRUE(made_);
    // The stalling clip comes first: its pictures, the join's first, never arrive.
    request_.clips = {QString::fromStdString(stalling_), QString::fromStdString(good_)};
    request_.replace = true;
    const auto bytesOf = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::pair<const char*, int> outputs[] = {
        {"older.mkv", 2}, {"older.mp4", 4}, {"older.avi", 0}};
    for (const auto& [name, format] : outputs) {
        SCOPED_TRACE(name);
        const std::string out = dir_ + "/" + name;
        std::filesystem::copy_file(good_, out, std::filesystem::copy_options::overwrite_existing);
        const std::string older = bytesOf(out);
        request_.output = QString::fromStdString(out);
        request_.format = format;
        boxes_.messages.clear();
        std::rewind(terminal_.result);

        testmedia::StalledFile stalled(stalling_, 1);  // measured in full when added
        std::atomic<bool> stop{false};
        std::thread interrupter([&] {
            const auto began = Clock::now();
            const auto giveUp = began + std::chrono::seconds(20);
            while ((stalled.held() == 0 || Clock::now() - began < std::chrono::milliseconds(500)) &&
                   Clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            stop = true;
        });
        const int code = cli::runHeadlessJoin(request_, store_, stop, terminal_);
        interrupter.join();
        EXPECT_EQ(code, cli::kStopped);
        ASSERT_FALSE(boxes_.messages.empty());
        EXPECT_EQ(boxes_.messages.back().text,
                  "The join was stopped before anything was written; " + request_.output +
                      " was left as it was.");
        EXPECT_TRUE(bytesOf(out) == older) << "the older file is unchanged";
        EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
        std::fflush(terminal_.result);
        std::rewind(terminal_.result);
        char line[256] = {};
        EXPECT_EQ(std::fgets(line, sizeof line, terminal_.result), nullptr)
            << "no Done line: " << line;
    }
}
