// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window with a join's settings, clips made at test time and what a join needs to
// be pressed, waited for and read back.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "support/media/test_media.h"
#include "support/media/tone_share.h"
#include "support/media/written_file.h"
#include "support/qt/recorders.h"

namespace jointest {

inline constexpr media::Ticks kSecond = 10'000'000;

struct TestClip {
    std::string path;
    std::array<std::uint8_t, 3> rgb;
    int toneHz;
};

// Three two-second clips, each a colour and a tone of its own, made once per run.
inline const std::vector<TestClip>& testClips() {
    static const std::vector<TestClip> clips = [] {
        const std::string dir = testmedia::scratchDir("join_clips");
        std::vector<TestClip> made = {{dir + "/red.mp4", {255, 0, 0}, 440},
                                      {dir + "/lime.mp4", {0, 255, 0}, 1000},
                                      {dir + "/blue.mp4", {0, 0, 255}, 2500}};
        const char* colours[] = {"red", "lime", "blue"};
        for (std::size_t i = 0; i < made.size(); ++i) {
            testmedia::ClipSpec recipe;
            recipe.width = 320;
            recipe.height = 240;
            recipe.frameRate = "25";
            recipe.colour = colours[i];
            recipe.toneHz = made[i].toneHz;
            if (!testmedia::makeClip(made[i].path, recipe)) made[i].path.clear();
        }
        return made;
    }();
    return clips;
}

class JoinTest : public ::testing::Test {
protected:
    JoinTest() : store_("KORVANE", "join_test") {
        QFile::remove(store_.filePath());
        window_ = std::make_unique<CSlidemintDlg>(store_, "english");
        window_->initialise();
        dir_ = testmedia::scratchDir("join_" + std::string(
                                                   ::testing::UnitTest::GetInstance()->current_test_info()->name()));
        OutputOptions& o = window_->outputOptions();
        o.outputWidth = 160;
        o.outputHeight = 120;
        o.frameRate = 10;
        o.resizeMode = 2;
        o.useVideoCompressor = 0;
        o.useAudioCompressor = 0;
    }

    void SetUp() override {
        for (const auto& c : testClips()) ASSERT_FALSE(c.path.empty()) << "test clips could not be made";
    }

    // The three clips; the second comes in with a one-second Fade.
    void addClips() {
        ClipList& list = window_->clips();
        list.append(testClips()[0].path, 2 * kSecond, 0, 0);
        list.append(testClips()[1].path, 2 * kSecond, 3, 1 * kSecond);
        list.append(testClips()[2].path, 2 * kSecond, 0, 0);
        list.rebuildAudioSources();
    }

    std::string output(const std::string& name) {
        const std::string path = dir_ + "/" + name;
        window_->outputOptions().outputName = QString::fromStdString(path);
        return path;
    }

    void pressJoin() { qobject_cast<QAbstractButton*>(window_->control(ids::kJoin))->click(); }

    // Processes the window's events until the join ends; false on a time-out.
    bool waitUntilIdle(int timeoutMs = 120000) {
        QElapsedTimer clock;
        clock.start();
        while (window_->jobState().converting()) {
            if (clock.elapsed() > timeoutMs) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return true;
    }

    double lengthSeconds() const { return static_cast<double>(window_->clips().totalLength()) / kSecond; }

    // Joins to `name` and reads the file back with its colours at the middles of the first
    // and the last clip and the sound kept.
    writertest::ReadBack joinAndRead(const std::string& name) {
        const std::string path = output(name);
        addClips();
        pressJoin();
        EXPECT_TRUE(window_->jobState().converting()) << lastMessage().toStdString();
        EXPECT_TRUE(waitUntilIdle());
        EXPECT_TRUE(window_->statusText().startsWith("Done. ")) << window_->statusText().toStdString();
        writertest::ReadBack back;
        back.colourTimes = {0.5, lengthSeconds() - 0.5};
        back.keepSound = true;
        std::string error;
        EXPECT_TRUE(writertest::readBack(path, back, &error)) << error;
        EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
        return back;
    }

    void expectPicturesAndSound(const writertest::ReadBack& back, int colourTolerance = 60) {
        EXPECT_EQ(back.width, 160);
        EXPECT_EQ(back.height, 120);
        EXPECT_NEAR(back.durationSeconds, lengthSeconds(), 0.1 + 1.0 / 10);
        ASSERT_EQ(back.colours.size(), 2u);
        EXPECT_TRUE(writertest::nearColour(back.colours[0], testClips()[0].rgb, colourTolerance))
            << back.colours[0][0] << "," << back.colours[0][1] << "," << back.colours[0][2];
        EXPECT_TRUE(writertest::nearColour(back.colours[1], testClips()[2].rgb, colourTolerance))
            << back.colours[1][0] << "," << back.colours[1][1] << "," << back.colours[1][2];
        // Each clip's tone is on its own span: the first clip's second half-second and the
        // last clip's last but one.
        const int rate = back.audioRate;
        ASSERT_GT(rate, 0);
        const auto at = [rate](double s) { return static_cast<std::size_t>(s * rate); };
        const std::size_t window = at(0.4);
        EXPECT_GT(testmedia::toneShare(back.sound, at(0.3), window, testClips()[0].toneHz, rate), 0.5);
        EXPECT_LT(testmedia::toneShare(back.sound, at(0.3), window, testClips()[2].toneHz, rate), 0.1);
        const double lastStart = lengthSeconds() - 1.0;
        EXPECT_GT(testmedia::toneShare(back.sound, at(lastStart), window, testClips()[2].toneHz, rate), 0.5);
    }

    QString lastMessage() const {
        return boxes_.messages.empty() ? QString() : boxes_.messages.back().text;
    }

    SettingsStore store_;
    testqt::MessageRecorder boxes_;
    testqt::ShellRecorder shell_;
    std::unique_ptr<CSlidemintDlg> window_;
    std::string dir_;
};

}  // namespace jointest
