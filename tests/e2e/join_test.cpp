// SPDX-License-Identifier: GPL-3.0-or-later
// Join pressed on the main window with clips made at test time; every written file is read
// back with libavformat and checked for what a player would show and play.
#include <QListWidget>

#include <filesystem>
#include <fstream>

#include "join_fixture.h"
#include "media/codecs/compressor_registry.h"
#include "output/filter_property_dialog.h"
#include "platform/file_dialogs.h"
#include "support/media/installed_compressor.h"
#include "timeline/output_renderer.h"

using namespace jointest;
using media::codecs::CompressorCategory;
using media::codecs::CompressorRef;

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

TEST_F(JoinTest, PressingJoinAgainStopsEvenAnEmptiedListAndKeepsAPlayableShorterFile) {
    const std::string path = output("stopped.wmv");
    window_->outputOptions().outputFormat = 1;
    window_->outputOptions().outputWidth = 640;
    window_->outputOptions().outputHeight = 480;
    ClipList& list = window_->clips();
    for (int i = 0; i < 60; ++i) list.append(testClips()[i % 3].path, 2 * kSecond, 0, 0);
    list.rebuildAudioSources();
    QElapsedTimer sinceJoin;
    sinceJoin.start();
    pressJoin();
    ASSERT_TRUE(window_->jobState().converting());
    // Pictures are in the file: stopped before the first one, no file would be made.
    while ((window_->jobState().progress() <= 0 || sinceJoin.elapsed() < 400) &&
           sinceJoin.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    ASSERT_GT(window_->jobState().progress(), 0.0);
    const double joinedLength = lengthSeconds();
    // The list may be emptied while the join runs; Stop still stops.
    list.clear();
    list.rebuildAudioSources();
    pressJoin();
    EXPECT_TRUE(boxes_.messages.empty()) << lastMessage().toStdString();
    EXPECT_FALSE(window_->jobState().converting());
    EXPECT_TRUE(window_->statusText().startsWith("Done. "));
    EXPECT_EQ(qobject_cast<QAbstractButton*>(window_->control(ids::kJoin))->text(), "Join");
    writertest::ReadBack back;
    std::string error;
    ASSERT_TRUE(writertest::readBack(path, back, &error)) << error;
    EXPECT_GT(back.framesDecoded, 0);
    EXPECT_LT(back.durationSeconds, joinedLength - 1.0);
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

TEST_F(JoinTest, BroadcastRatesAreWrittenAsTheirExactFractions) {
    // MPEG-2 takes 23.976 only as 24000/1001; MPEG-1 refuses a rate it does not know, and
    // says which it knows.
    window_->boundCompressors().video = testmedia::installedCompressor(CompressorCategory::Video, "mpeg2video");
    ASSERT_TRUE(window_->boundCompressors().video);
    OutputOptions& o = window_->outputOptions();
    o.outputFormat = 0;
    o.useVideoCompressor = 1;
    o.frameRate = 23.976;
    writertest::ReadBack back = joinAndRead("broadcast.avi");
    EXPECT_EQ(back.videoCodec, "mpeg2video");
    EXPECT_NEAR(back.frameRate, 24000.0 / 1001, 1e-6);

    window_->clips().clear();
    window_->boundCompressors().video = testmedia::installedCompressor(CompressorCategory::Video, "mpeg1video");
    ASSERT_TRUE(window_->boundCompressors().video);
    o.frameRate = 12.5;
    output("half.avi");
    addClips();
    pressJoin();
    EXPECT_FALSE(window_->jobState().converting());
    EXPECT_TRUE(lastMessage().contains("12.5 frames per second")) << lastMessage().toStdString();
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/half.avi"));
}
