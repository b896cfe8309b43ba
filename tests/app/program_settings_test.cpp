// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/default_output_name.h"
#include "app/program_settings.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

class ProgramSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = QString::fromStdString(testmedia::scratchDir(std::string("settings_") + info->name()));
        saved_ = qEnvironmentVariable("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", root_.toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", saved_.toUtf8()); }
    QString root_, saved_;
};

}  // namespace

TEST_F(ProgramSettingsTest, AFirstStartOffersWmvInTheVideoFolderAt352By240) {
    SettingsStore store("KORVANE", "clipfuse");
    testqt::MessageRecorder boxes;
    OutputOptions o;
    readOutputOptions(store, "/home/u/Videos/video_join.avi", o);
    EXPECT_EQ(o.outputName, "/home/u/Videos/video_join.wmv");
    EXPECT_EQ(o.outputFormat, 1);
    EXPECT_EQ(o.outputWidth, 352);
    EXPECT_EQ(o.outputHeight, 240);
    EXPECT_EQ(o.frameRateIndex, 0);
    EXPECT_DOUBLE_EQ(o.frameRate, 23.976);
    EXPECT_EQ(o.videoBitrate, 798720);
    EXPECT_EQ(o.audioBitrate, 128000);
    EXPECT_EQ(o.fileProfile, 0);
    const TransitionDefaults t = readTransitionDefaults(store);
    EXPECT_EQ(t.mode, TransitionMode::Random);
    EXPECT_EQ(t.durationSeconds, 1);
    EXPECT_EQ(t.effectIndex, 0);
    const StoredCompressorChoice c = readCompressorChoice(store);
    EXPECT_EQ(c.video, -2);
    EXPECT_EQ(c.audio, -2);
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(ProgramSettingsTest, StoredValuesAreReadAndOddOnesFallBack) {
    SettingsStore store("KORVANE", "clipfuse");
    using namespace settings;
    store.writeInt(kSettings, kOutputFormat, 0);
    store.writeText(kSettings, kOutputName, "/out/my.videos/clip");
    store.writeInt(kSettings, kOutputFrameRateIndex, 7);
    store.writeInt(kTransitionSettings, kTransitionType, 3);
    store.writeInt(kTransitionSettings, kTransitionName, 47);
    store.writeInt(kTransitionSettings, kTransitionDuration, 601);
    store.writeInt(kAudioCompress, kCompressorNumber, -1);
    OutputOptions o;
    readOutputOptions(store, "unused", o);
    EXPECT_EQ(o.outputName, "/out/my.videos/clip.avi");  // a "." in a folder is not an extension
    EXPECT_EQ(o.frameRateIndex, 0);
    EXPECT_DOUBLE_EQ(o.frameRate, 23.976);
    const TransitionDefaults t = readTransitionDefaults(store);
    EXPECT_EQ(t.mode, TransitionMode::Random);
    EXPECT_EQ(t.effectIndex, 0);
    EXPECT_EQ(t.durationSeconds, 1);
    EXPECT_EQ(readCompressorChoice(store).audio, -1);
}

TEST_F(ProgramSettingsTest, ADamagedCopyChoiceCopiesAndTheOriginalRateRowKeepsItsRow) {
    SettingsStore store("KORVANE", "clipfuse");
    store.writeInt(settings::kSettings, settings::kCopyUnchanged, 7);
    store.writeInt(settings::kSettings, settings::kOutputFrameRateIndex, 6);
    store.writeText(settings::kSettings, settings::kOutputFrameRate, "fast");
    OutputOptions o;
    readOutputOptions(store, "/v/a.mp4", o);
    EXPECT_EQ(o.copyUnchanged, 1);
    EXPECT_EQ(o.frameRateIndex, 6);
    EXPECT_DOUBLE_EQ(o.frameRate, 23.976) << "the stand-in of a damaged rate";
}

TEST(FrameRateFromStore, PresetsCustomAndBrokenRates) {
    EXPECT_DOUBLE_EQ(frameRateFromStore(3, {}).rate, 29.97);
    EXPECT_EQ(frameRateFromStore(4, {}).index, 4);
    EXPECT_DOUBLE_EQ(frameRateFromStore(5, "12.500000").rate, 12.5);
    EXPECT_EQ(frameRateFromStore(5, "12.5").index, 5);
    for (const char* bad : {"", "abc", "0", "-25", "nan", "1e9"}) {
        const FrameRateChoice c = frameRateFromStore(5, bad);
        EXPECT_EQ(c.index, 0) << bad;
        EXPECT_DOUBLE_EQ(c.rate, 23.976) << bad;
    }
    EXPECT_EQ(frameRateFromStore(-1, {}).index, 0);
}

TEST_F(ProgramSettingsTest, AStoredFormatWithoutExtensionShowsItsMessageAndKeepsTheName) {
    SettingsStore store("KORVANE", "clipfuse");
    store.writeInt(settings::kSettings, settings::kOutputFormat, 9);
    testqt::MessageRecorder boxes;
    OutputOptions o;
    readOutputOptions(store, "/v/video_join.avi", o);
    EXPECT_EQ(o.outputName, "/v/video_join.avi");
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text, "Does not support the video format");
    EXPECT_EQ(boxes.messages[0].caption, "Error");
}

TEST_F(ProgramSettingsTest, TheDefaultOutputNameIsInTheVideoFolderOrTheHomeFolder) {
    const QString home = QString::fromStdString(testmedia::scratchDir("settings_home"));
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    testqt::MessageRecorder boxes;
    // No Videos folder yet: the home folder.
    EXPECT_EQ(defaultOutputName(nullptr), home + "/video_join.avi");
    ASSERT_TRUE(QDir(home).mkpath("Videos"));
    EXPECT_EQ(defaultOutputName(nullptr), home + "/Videos/video_join.avi");
    qputenv("HOME", savedHome);
    EXPECT_TRUE(boxes.messages.empty());
}
