// Join pressed on the main window with clips made at test time; every written file is read
// back with libavformat and checked for what a player would show and play.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QThread>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "media/codecs/compressor_registry.h"
#include "support/media/installed_compressor.h"
#include "support/media/test_media.h"
#include "support/media/tone_share.h"
#include "support/media/written_file.h"
#include "support/qt/recorders.h"
#include "platform/file_dialogs.h"
#include "output/filter_property_dialog.h"
#include "timeline/output_renderer.h"

namespace {

using media::codecs::CompressorCategory;
using media::codecs::CompressorRef;

constexpr media::Ticks kSecond = 10'000'000;

struct TestClip {
    std::string path;
    std::array<std::uint8_t, 3> rgb;
    int toneHz;
};

// Three two-second clips, each a colour and a tone of its own, made once per run.
const std::vector<TestClip>& testClips() {
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

}  // namespace

TEST_F(JoinTest, WindowsMediaFilesUseTheGeneratedProfileAndNoCompressor) {
    window_->outputOptions().useVideoCompressor = 1;
    window_->outputOptions().useAudioCompressor = 1;
    window_->outputOptions().outputFormat = 1;
    writertest::ReadBack back = joinAndRead("joined.wmv");
    EXPECT_EQ(back.container, "asf");
    EXPECT_EQ(back.videoCodec, "wmv2");
    EXPECT_EQ(back.audioCodec, "wmav2");
    // The sound is encoded at the bitrate of the audio format the profile chose.
    EXPECT_NEAR(static_cast<double>(back.audioBitrate), 128000.0, 1000.0);
    expectPicturesAndSound(back);
    EXPECT_EQ(window_->outputOptions().useVideoCompressor, 0);
    EXPECT_EQ(window_->outputOptions().useAudioCompressor, 0);
    EXPECT_TRUE(boxes_.messages.empty()) << lastMessage().toStdString();
}

TEST_F(JoinTest, AsfIsWrittenLikeWmv) {
    window_->outputOptions().outputFormat = 3;
    writertest::ReadBack back = joinAndRead("joined.asf");
    EXPECT_EQ(back.container, "asf");
    expectPicturesAndSound(back);
}

TEST_F(JoinTest, AviWithTheBoundCompressors) {
    window_->boundCompressors().video = testmedia::installedCompressor(CompressorCategory::Video, "mpeg4");
    window_->boundCompressors().audio = testmedia::installedCompressor(CompressorCategory::Audio, "adpcm_ms");
    ASSERT_TRUE(window_->boundCompressors().video && window_->boundCompressors().audio);
    window_->outputOptions().outputFormat = 0;
    window_->outputOptions().useVideoCompressor = 1;
    window_->outputOptions().useAudioCompressor = 1;
    writertest::ReadBack back = joinAndRead("compressed.avi");
    EXPECT_EQ(back.container, "avi");
    EXPECT_EQ(back.videoCodec, "mpeg4");
    EXPECT_EQ(back.audioCodec, "adpcm_ms");
    EXPECT_NEAR(back.frameRate, 10.0, 0.01);
    expectPicturesAndSound(back);
}

TEST_F(JoinTest, UncompressedAviAfterTheUserAcceptsABigFile) {
    window_->outputOptions().outputFormat = 0;
    boxes_.answers = {ui::Answer::Yes};
    writertest::ReadBack back = joinAndRead("uncompressed.avi");
    ASSERT_FALSE(boxes_.messages.empty());
    EXPECT_TRUE(boxes_.messages[0].text.startsWith("You do not select a video compressor in Options dialog."));
    EXPECT_EQ(back.videoCodec, "rawvideo");
    EXPECT_EQ(back.audioCodec, "pcm_s16le");
    expectPicturesAndSound(back, 8);
}

TEST_F(JoinTest, MatroskaAndOggFiles) {
    window_->boundCompressors().video = testmedia::installedCompressor(CompressorCategory::Video, "libx264");
    window_->boundCompressors().audio = testmedia::installedCompressor(CompressorCategory::Audio, "aac");
    ASSERT_TRUE(window_->boundCompressors().video && window_->boundCompressors().audio);
    window_->outputOptions().outputFormat = 2;
    window_->outputOptions().useVideoCompressor = 1;
    window_->outputOptions().useAudioCompressor = 1;
    writertest::ReadBack mkv = joinAndRead("joined.mkv");
    EXPECT_EQ(mkv.container, "matroska,webm");
    EXPECT_EQ(mkv.videoCodec, "h264");
    EXPECT_EQ(mkv.audioCodec, "aac");
    expectPicturesAndSound(mkv);

    window_->clips().clear();
    window_->outputOptions().outputFormat = 6;
    writertest::ReadBack ogg = joinAndRead("joined.ogm");
    EXPECT_EQ(ogg.container, "ogg");
    EXPECT_EQ(ogg.videoCodec, "theora");
    EXPECT_EQ(ogg.audioCodec, "vorbis");
    expectPicturesAndSound(ogg);
}

TEST_F(JoinTest, Mp4WithH264AndAacAfterTheFilterPropertyDialog) {
    QStringList rows;
    bool fileExistedDuringDialog = true;
    const std::string path = dir_ + "/joined.mp4";
    auto previous = timeline::setFilterDialogRunner([&](CDialogFilterPerproty& dialog) {
        auto* list = dialog.findChild<QListWidget*>();
        for (int i = 0; list && i < list->count(); ++i) rows << list->item(i)->text();
        fileExistedDuringDialog = std::filesystem::exists(path);
    });
    window_->boundCompressors().video = testmedia::installedCompressor(CompressorCategory::Video, "libx264");
    window_->boundCompressors().audio = testmedia::installedCompressor(CompressorCategory::Audio, "aac");
    window_->outputOptions().outputFormat = 4;
    window_->outputOptions().useVideoCompressor = 1;
    window_->outputOptions().useAudioCompressor = 1;
    writertest::ReadBack back = joinAndRead("joined.mp4");
    timeline::setFilterDialogRunner(previous);
    EXPECT_EQ(back.container, "mov,mp4,m4a,3gp,3g2,mj2");
    EXPECT_EQ(back.videoCodec, "h264");
    expectPicturesAndSound(back);
    // Shown once the output is connected and before anything is written.
    EXPECT_FALSE(fileExistedDuringDialog);
    EXPECT_EQ(rows, (QStringList{"Clipfuse Render Engine", "VideoCompressor", "AudioCompressor", "MP4 Writer",
                                 QString::fromStdString(path)}));
}

TEST_F(JoinTest, PressingJoinAgainStopsAndKeepsAPlayableShorterFile) {
    const std::string path = output("stopped.wmv");
    window_->outputOptions().outputFormat = 1;
    window_->outputOptions().outputWidth = 640;
    window_->outputOptions().outputHeight = 480;
    ClipList& list = window_->clips();
    for (int i = 0; i < 60; ++i) list.append(testClips()[i % 3].path, 2 * kSecond, 0, 0);
    list.rebuildAudioSources();
    pressJoin();
    ASSERT_TRUE(window_->jobState().converting());
    QThread::msleep(400);
    QCoreApplication::processEvents();
    pressJoin();
    EXPECT_FALSE(window_->jobState().converting());
    EXPECT_TRUE(window_->statusText().startsWith("Done. "));
    EXPECT_EQ(qobject_cast<QAbstractButton*>(window_->control(ids::kJoin))->text(), "Join");
    writertest::ReadBack back;
    std::string error;
    ASSERT_TRUE(writertest::readBack(path, back, &error)) << error;
    EXPECT_GT(back.framesDecoded, 0);
    EXPECT_LT(back.durationSeconds, lengthSeconds() - 1.0);
    EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
}

TEST_F(JoinTest, AnOutputThatIsOneOfTheClipsIsRefusedBeforeAnythingIsTouched) {
    addClips();
    const std::string clip = testClips()[1].path;
    const auto sizeBefore = std::filesystem::file_size(clip);
    window_->outputOptions().outputName = QString::fromStdString(clip);
    window_->outputOptions().outputFormat = 1;
    boxes_.answers = {ui::Answer::Yes, ui::Answer::Yes};
    pressJoin();
    EXPECT_FALSE(window_->jobState().converting());
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_TRUE(boxes_.messages[0].text.contains("is one of the video files in the list"));
    EXPECT_EQ(std::filesystem::file_size(clip), sizeBefore);
}

TEST_F(JoinTest, NoToTheReplaceQuestionKeepsTheOldFile) {
    const std::string path = output("existing.wmv");
    { std::ofstream(path) << "old"; }
    window_->outputOptions().outputFormat = 1;
    addClips();
    boxes_.answers = {ui::Answer::No};
    pressJoin();
    EXPECT_FALSE(window_->jobState().converting());
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, QString::fromStdString(path) + " exists. Do you want to replace it?");
    EXPECT_EQ(boxes_.messages[0].caption, "Warning");
    EXPECT_EQ(std::filesystem::file_size(path), 3u);
}

TEST_F(JoinTest, AFolderThatCannotBeWrittenGivesAMessageAndTheWindowStaysIdle) {
    window_->outputOptions().outputName = QString::fromStdString(dir_ + "/missing/folder/out.wmv");
    window_->outputOptions().outputFormat = 1;
    addClips();
    pressJoin();
    EXPECT_FALSE(window_->jobState().converting());
    ASSERT_GE(boxes_.messages.size(), 2u);
    EXPECT_EQ(boxes_.messages[0].text, "can not pControl->Run()!!!");
    EXPECT_FALSE(boxes_.messages[1].text.isEmpty());
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(window_->control(ids::kAddVideo))->isEnabled());
}

TEST_F(JoinTest, AClipThatBreaksDuringTheRenderEndsTheRunWithAMessage) {
    // A clip replaced by garbage after it was added: the render cannot open it.
    const std::string broken = dir_ + "/broken.mp4";
    { std::ofstream(broken) << std::string(4096, 'x'); }
    const std::string path = output("broken.wmv");
    window_->outputOptions().outputFormat = 1;
    ClipList& list = window_->clips();
    list.append(testClips()[0].path, 2 * kSecond, 0, 0);
    list.append(broken, 2 * kSecond, 0, 0);
    list.rebuildAudioSources();
    pressJoin();
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_FALSE(boxes_.messages.empty());
    EXPECT_TRUE(boxes_.messages.back().text.startsWith("The join stopped: ")) << lastMessage().toStdString();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
}

TEST_F(JoinTest, TheChecksComeFirstAndEachEndsTheCommand) {
    output("checks.avi");
    pressJoin();
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, "Add video files to list");
    EXPECT_EQ(boxes_.messages[0].caption, "Error");

    addClips();
    window_->jobState().setState(JobState::Previewing);
    pressJoin();
    ASSERT_EQ(boxes_.messages.size(), 2u);
    EXPECT_EQ(boxes_.messages[1].text, "Please stop Preview first!");
    window_->jobState().setState(JobState::Idle);

    // AVI without a video compressor asks; No leaves the window idle and writes nothing.
    window_->outputOptions().outputFormat = 0;
    pressJoin();
    ASSERT_EQ(boxes_.messages.size(), 3u);
    EXPECT_EQ(boxes_.messages[2].caption, "Warning");
    EXPECT_EQ(boxes_.messages[2].buttons, ui::Buttons::YesNo);
    EXPECT_FALSE(window_->jobState().converting());
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/checks.avi"));
}

namespace {

// Answers the dialog that asks where a moved clip went.
class LocatingDialogs : public platform::FileDialogs {
public:
    explicit LocatingDialogs(QString answer) : answer_(std::move(answer)) { previous_ = platform::setFileDialogs(this); }
    ~LocatingDialogs() override { platform::setFileDialogs(previous_); }
    QStringList getOpenFileNames(const platform::FileDialogRequest&) override { return {}; }
    QString getOpenFileName(const platform::FileDialogRequest& request) override {
        titles << request.title;
        return answer_;
    }
    QString getSaveFileName(const platform::FileDialogRequest&) override { return {}; }
    QStringList titles;

private:
    QString answer_;
    platform::FileDialogs* previous_;
};

}  // namespace

TEST_F(JoinTest, AClipThatMovedIsLocatedByTheUserAndJoined) {
    const std::string path = output("located.wmv");
    window_->outputOptions().outputFormat = 1;
    ClipList& list = window_->clips();
    list.append(testClips()[0].path, 2 * kSecond, 0, 0);
    list.append(dir_ + "/moved-away.mp4", 2 * kSecond, 0, 0);
    list.rebuildAudioSources();
    LocatingDialogs dialogs(QString::fromStdString(testClips()[2].path));
    pressJoin();
    ASSERT_TRUE(waitUntilIdle());
    // The video and the sound source of the moved clip are asked for once.
    EXPECT_EQ(dialogs.titles, QStringList{"Where is moved-away.mp4?"});
    EXPECT_TRUE(window_->statusText().startsWith("Done. ")) << lastMessage().toStdString();
    writertest::ReadBack back;
    back.colourTimes = {3.5};
    ASSERT_TRUE(writertest::readBack(path, back));
    EXPECT_TRUE(writertest::nearColour(back.colours[0], testClips()[2].rgb, 60));
}

TEST_F(JoinTest, ACompressorTheContainerCannotCarryIsRefusedBeforeTheRunNamingBoth) {
    const std::string path = output("refused.mp4");
    window_->boundCompressors().video = testmedia::installedCompressor(CompressorCategory::Video, "mpeg4");
    window_->boundCompressors().audio = testmedia::installedCompressor(CompressorCategory::Audio, "adpcm_ms");
    window_->outputOptions().outputFormat = 4;
    window_->outputOptions().useVideoCompressor = 1;
    window_->outputOptions().useAudioCompressor = 1;
    bool dialogShown = false;
    auto previous = timeline::setFilterDialogRunner([&](CDialogFilterPerproty&) { dialogShown = true; });
    addClips();
    pressJoin();
    timeline::setFilterDialogRunner(previous);
    EXPECT_FALSE(window_->jobState().converting());
    EXPECT_FALSE(dialogShown);
    ASSERT_EQ(boxes_.messages.size(), 2u);
    EXPECT_EQ(boxes_.messages[0].text, "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux )");
    EXPECT_TRUE(boxes_.messages[1].text.contains("ADPCM")) << boxes_.messages[1].text.toStdString();
    EXPECT_TRUE(boxes_.messages[1].text.contains("MP4")) << boxes_.messages[1].text.toStdString();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(writertest::partialFilesIn(dir_), 0);
}
