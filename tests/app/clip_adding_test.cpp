// SPDX-License-Identifier: GPL-3.0-or-later
// Add Video and dropped files, driven through the window's commands with real clips made
// at test time, a replaced file dialog and recorded message boxes.
#include "app/clip_adding.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTableWidget>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/clip_list.h"
#include "app/command_line_files.h"
#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "media/core/clip_reader.h"
#include "platform/file_dialogs.h"
#include "support/media/stalled_file.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"
#include "support/qt/run_until.h"

namespace {

// Answers the open dialog with prepared selections and keeps what it was asked.
class FakeFileDialogs : public platform::FileDialogs {
public:
    FakeFileDialogs() { previous_ = platform::setFileDialogs(this); }
    ~FakeFileDialogs() override { platform::setFileDialogs(previous_); }
    QStringList getOpenFileNames(const platform::FileDialogRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) return {};
        QStringList next = answers.front();
        answers.pop_front();
        return next;
    }
    QString getOpenFileName(const platform::FileDialogRequest&) override { return {}; }
    QString getSaveFileName(const platform::FileDialogRequest&) override { return {}; }

    std::vector<platform::FileDialogRequest> requests;
    std::deque<QStringList> answers;

private:
    platform::FileDialogs* previous_;
};

// Measures every path as five seconds long, without reading it.
std::atomic<int> g_fakeProbeCalls = 0;
media::ClipInfo fiveSecondProbe(const std::string&, const media::InputLimits&) {
    ++g_fakeProbeCalls;
    media::ClipInfo info;
    info.duration = 5 * media::kTicksPerSecond;
    return info;
}

class FakeProbe {
public:
    FakeProbe() {
        g_fakeProbeCalls = 0;
        previous_ = setClipProbe(&fiveSecondProbe);
    }
    ~FakeProbe() { setClipProbe(previous_); }

private:
    ClipProbe previous_;
};

struct MadeClip {
    QString path;
    double seconds;
    double frameSeconds;  // the tolerance: one frame of the clip (an audio file: 1/30 s)
};

// Clips of every kind the tests add, made once for all of them.
class Media {
public:
    static const Media& get() {
        static const Media media;
        return media;
    }
    std::vector<MadeClip> good;
    QString folder;

private:
    Media() {
        const std::string dir = testmedia::scratchDir("clip_adding");
        folder = QString::fromStdString(dir);
        struct Recipe {
            const char* name;
            testmedia::ClipSpec clip;
        };
        testmedia::ClipSpec h264;  // H.264 and AAC in MP4
        h264.seconds = 2.0;
        testmedia::ClipSpec mpeg4 = h264;
        mpeg4.container = "avi";
        mpeg4.videoCodec = "mpeg4";
        mpeg4.audioCodec = "pcm_s16le";
        mpeg4.frameRate = "25";
        mpeg4.seconds = 3.0;
        testmedia::ClipSpec vp8 = h264;
        vp8.container = "webm";
        vp8.videoCodec = "libvpx";
        vp8.audioCodec = "libvorbis";
        vp8.seconds = 1.5;
        testmedia::ClipSpec vp9 = vp8;
        vp9.videoCodec = "libvpx-vp9";
        vp9.audioCodec = "libopus";
        vp9.sampleRate = 48000;
        vp9.seconds = 2.5;
        testmedia::ClipSpec videoOnly = h264;
        videoOnly.audioCodec.clear();
        videoOnly.frameRate = "24";
        videoOnly.seconds = 4.0;
        testmedia::ClipSpec audioOnly = h264;
        audioOnly.container = "wav";
        audioOnly.videoCodec.clear();
        audioOnly.audioCodec = "pcm_s16le";
        audioOnly.seconds = 2.2;
        const Recipe recipes[] = {
            {"h264", h264}, {"mpeg4", mpeg4},          {"vp8", vp8},
            {"vp9", vp9},   {"video-only", videoOnly}, {"audio-only", audioOnly}};
        for (const Recipe& r : recipes) {
            const std::string path = dir + "/" + r.name + "." + r.clip.container;
            if (!testmedia::makeClip(path, r.clip)) continue;
            const double frame =
                r.clip.videoCodec.empty() ? 1.0 / 30 : 1.0 / std::atof(r.clip.frameRate.c_str());
            good.push_back({QString::fromStdString(path), r.clip.seconds, frame});
        }
    }
};

class ClipAddingTest : public ::testing::Test {
protected:
    ClipAddingTest() : store_("KORVANE", "clip_adding_test") {
        QFile::remove(store_.filePath());
        window_ = std::make_unique<CSlidemintDlg>(store_, "english");
        window_->initialise();
        settle();
    }

    QTableWidget* table() { return qobject_cast<QTableWidget*>(window_->control(ids::kClipList)); }

    // The command, and the measuring it hands to the window's worker.
    void addVideo(const QStringList& selection) {
        dialogs_.answers.push_back(selection);
        window_->runCommand(ids::kAddVideo);
        settle();
    }
    void settle() {
        ASSERT_TRUE(testqt::runUntil([&] { return window_->mediaWorkIdle(); }));
    }

    void drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        // A drop reaches the window that accepted the drag's entry, as the desktop delivers it.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(window_.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window_.get(), &event);
        settle();
    }

    bool folderStored() const {
        return store_.contains(settings::kOption, settings::kLastPhotoFolder);
    }
    QString storedFolder() const {
        return store_.readText(settings::kOption, settings::kLastPhotoFolder, "?");
    }

    std::vector<QString> clipPaths() const {
        std::vector<QString> paths;
        for (int i = 0; i < window_->clips().count(); ++i)
            paths.push_back(QString::fromStdString(window_->clips().at(i).fileName.str()));
        return paths;
    }

    // The audio sources and the view follow the clips after every command.
    void expectMirrorsOfTheClips() {
        const ClipList& clips = window_->clips();
        ASSERT_EQ(clips.audioSourceCount(), clips.count());
        for (int i = 0; i < clips.count(); ++i) {
            EXPECT_EQ(clips.audioSource(i).fileName.view(), clips.at(i).fileName.view());
            EXPECT_EQ(clips.audioSource(i).duration, clips.at(i).duration);
        }
        EXPECT_EQ(table()->rowCount(), clips.count());
    }

    // The two boxes of a file that cannot be opened, starting at message `first`.
    void expectCannotOpenMessages(std::size_t first, const QString& path) {
        ASSERT_GE(boxes_.messages.size(), first + 2) << path.toStdString();
        const ui::Message& open = boxes_.messages[first];
        EXPECT_EQ(open.text,
                  "Cannot open the file. You need to install appropriate decoders. Or the file is "
                  "corrupt.");
        EXPECT_EQ(open.caption, path + " IDS_MESSAGE_NOT_OPEN_FILE");
        EXPECT_EQ(open.owner, nullptr);
        expectNoDurationMessage(first + 1, path);
    }
    void expectNoDurationMessage(std::size_t index, const QString& path) {
        ASSERT_GT(boxes_.messages.size(), index);
        const ui::Message& duration = boxes_.messages[index];
        EXPECT_EQ(duration.text,
                  "Can not get the duration of the clip! " + path +
                      ". Cannot open the file. You need to install appropriate decoders. Or "
                      "the file is corrupt.");
        EXPECT_EQ(duration.caption, "Error IDS_MESSAGE_NO_DURATION");
        EXPECT_EQ(duration.owner, window_.get());
    }

    SettingsStore store_;
    std::unique_ptr<CSlidemintDlg> window_;
    testqt::MessageRecorder boxes_;
    FakeFileDialogs dialogs_;
};

}  // namespace

TEST_F(ClipAddingTest, AddVideoMeasuresEveryKindOfClipWithinOneFrame) {
    const Media& media = Media::get();
    ASSERT_EQ(media.good.size(), 6u) << "every recipe must be made";
    QStringList selection;
    for (const MadeClip& c : media.good) selection << c.path;
    addVideo(selection);

    ASSERT_EQ(dialogs_.requests.size(), 1u);
    const platform::FileDialogRequest& asked = dialogs_.requests[0];
    EXPECT_EQ(asked.title, "Open a video file");
    EXPECT_EQ(asked.owner, window_.get());
    EXPECT_EQ(asked.folder, "");
    ASSERT_EQ(asked.filters.size(), 2);
    EXPECT_EQ(asked.filters[0], "Any Files (*)");
    EXPECT_TRUE(asked.filters[1].startsWith("Video Files (*.mpeg *.mpg *.avi *.asf *.wmv"));
    EXPECT_TRUE(asked.filters[1].contains("*.mkv") && asked.filters[1].contains("*.mp4"));
    EXPECT_EQ(asked.selectedFilter, 0);

    EXPECT_TRUE(boxes_.messages.empty()) << boxes_.messages[0].text.toStdString();
    ASSERT_EQ(window_->clips().count(), 6);
    for (int i = 0; i < 6; ++i) {
        const ClipItem& clip = window_->clips().at(i);
        EXPECT_EQ(QString::fromStdString(clip.fileName.str()), media.good[i].path)
            << "the dialog's order";
        EXPECT_NEAR(media::ticksToSeconds(clip.duration), media.good[i].seconds,
                    media.good[i].frameSeconds)
            << media.good[i].path.toStdString();
        EXPECT_EQ(clip.transitionDuration, media::kTicksPerSecond) << "the default duration";
    }
    expectMirrorsOfTheClips();
    EXPECT_EQ(table()->item(0, 0)->text(), "h264.mp4");
    EXPECT_EQ(table()->item(1, 1)->text(), "3");

    // The next dialog opens in the folder of the last added clip, with a trailing separator.
    EXPECT_EQ(storedFolder(), media.folder + "/");
    addVideo({});
    EXPECT_EQ(dialogs_.requests.back().folder, media.folder + "/");
    EXPECT_EQ(window_->clips().count(), 6) << "a cancelled dialog changes nothing";
}

TEST_F(ClipAddingTest, BadFilesGiveTwoMessagesAndTheGoodOnesOfTheSelectionAreAdded) {
    const Media& media = Media::get();
    ASSERT_GE(media.good.size(), 2u);
    const std::string dir = testmedia::scratchDir("clip_adding_bad");
    const QString folder = QString::fromStdString(dir);
    std::ofstream(dir + "/empty.mp4").close();
    std::ofstream(dir + "/text.mp4") << "This is a letter, not a film.\n";
    {
        // An MP4 cut in half loses its index, which sits at the end.
        std::ifstream in(media.good[0].path.toStdString(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(dir + "/truncated.mp4", std::ios::binary)
            .write(bytes.data(), bytes.size() / 2);
    }
    std::filesystem::create_directory(dir + "/folder.mp4");
    ASSERT_EQ(::mkfifo((dir + "/pipe.mp4").c_str(), 0600), 0);
    ASSERT_TRUE(testmedia::makeHeaderOnlyClip(dir + "/header.mkv"));
    // A clip on a share that stops answering while it is measured.
    std::filesystem::copy_file(media.good[1].path.toStdString(), dir + "/stalled.avi");
    testmedia::StalledFile stalled(dir + "/stalled.avi");
    const auto previousLimit = media::readStallLimit();
    media::setReadStallLimit(std::chrono::milliseconds(300));
    QStringList bad = {folder + "/empty.mp4",  folder + "/text.mp4", folder + "/truncated.mp4",
                       folder + "/folder.mp4", folder + "/pipe.mp4", folder + "/missing.mp4",
                       folder + "/header.mkv", folder + "/stalled.avi"};
    if (::geteuid() != 0) {  // root reads every file
        std::filesystem::copy_file(media.good[1].path.toStdString(), dir + "/locked.avi");
        ::chmod((dir + "/locked.avi").c_str(), 0);
        bad << folder + "/locked.avi";
    }

    QStringList selection = {media.good[0].path};
    selection << bad << media.good[1].path;
    addVideo(selection);
    media::setReadStallLimit(previousLimit);

    EXPECT_EQ(clipPaths(), (std::vector<QString>{media.good[0].path, media.good[1].path}));
    ASSERT_EQ(boxes_.messages.size(), 2u * bad.size());
    for (int i = 0; i < bad.size(); ++i) expectCannotOpenMessages(2u * i, bad[i]);
    expectMirrorsOfTheClips();
    EXPECT_EQ(storedFolder(), QFileInfo(media.good[1].path).absolutePath() + "/");
}

TEST_F(ClipAddingTest, NothingIsStoredWhenEveryFileFails) {
    const std::string dir = testmedia::scratchDir("clip_adding_failing");
    std::ofstream(dir + "/a.mp4") << "not a film";
    std::ofstream(dir + "/b.mp4") << "nor this";
    const QString folder = QString::fromStdString(dir);

    addVideo({folder + "/a.mp4", folder + "/b.mp4"});
    EXPECT_EQ(window_->clips().count(), 0);
    EXPECT_EQ(boxes_.messages.size(), 4u);
    EXPECT_FALSE(folderStored());

    // One failing file ends the command: the rows and their selection stay as they were.
    window_->clips().append("/earlier/clip.mp4", media::kTicksPerSecond, 0, 0);
    window_->clips().rebuildAudioSources();
    table()->setRowCount(1);
    table()->setItem(0, 0, new QTableWidgetItem("clip.mp4"));
    table()->selectRow(0);
    addVideo({folder + "/a.mp4"});
    EXPECT_EQ(window_->clips().count(), 1);
    EXPECT_EQ(boxes_.messages.size(), 6u);
    EXPECT_FALSE(folderStored());
    EXPECT_TRUE(table()->item(0, 0)->isSelected());
}

TEST_F(ClipAddingTest, PathsInTheRootFolderAndTooLongPaths) {
    FakeProbe probe;
    addVideo({"/a.avi", "/b.avi"});
    EXPECT_EQ(clipPaths(), (std::vector<QString>{"/a.avi", "/b.avi"}));
    EXPECT_EQ(storedFolder(), "/");
    addVideo({"/clips/c.avi"});
    EXPECT_EQ(storedFolder(), "/clips/");
    addVideo({});
    EXPECT_EQ(dialogs_.requests.back().folder, "/clips/");

    // A path that does not fit the list is refused before it is measured, never cut.
    const QString tooLong = "/" + QString(kMaxClipPathBytes, 'x');
    const int calls = g_fakeProbeCalls;
    addVideo({tooLong, "/d.avi"});
    EXPECT_EQ(g_fakeProbeCalls, calls + 1);
    EXPECT_EQ(window_->clips().count(), 4);
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_TRUE(boxes_.messages[0].text.startsWith("The path of the file is too long"));
    EXPECT_EQ(boxes_.messages[0].caption, "Error");
}

TEST_F(ClipAddingTest, NewClipsTakeTheirTransitionByTheDefaultsMode) {
    FakeProbe probe;
    window_->transitionDefaults() = {3, TransitionMode::Sequence, 0};
    for (int i = 0; i < 93; ++i)
        window_->clips().append("/c/" + std::to_string(i) + ".avi", 1, 0, 0);
    addVideo({"/c/93.avi", "/c/94.avi"});
    ASSERT_EQ(window_->clips().count(), 95);
    EXPECT_EQ(window_->clips().at(93).transitionIndex, 1);
    EXPECT_EQ(window_->clips().at(94).transitionIndex, 2);
    EXPECT_EQ(window_->clips().at(93).transitionDuration, 3 * media::kTicksPerSecond);

    window_->transitionDefaults() = {600, TransitionMode::Same, 46};
    addVideo({"/c/95.avi"});
    EXPECT_EQ(window_->clips().at(95).transitionIndex, 46);
    EXPECT_EQ(window_->clips().at(95).transitionDuration, 6'000'000'000LL);

    // Random draws from the window's generator, modulo the 47 transitions.
    window_->transitionDefaults() = {1, TransitionMode::Random, 0};
    std::mt19937 expected = window_->random();
    addVideo({"/c/96.avi", "/c/97.avi", "/c/98.avi"});
    for (int i = 96; i <= 98; ++i)
        EXPECT_EQ(window_->clips().at(i).transitionIndex, static_cast<int>(expected() % 47)) << i;
}

TEST_F(ClipAddingTest, AFullListTakesNoMoreAndSaysSoOncePerCommand) {
    FakeProbe probe;
    for (int i = 0; i < kMaxClips - 1; ++i)
        window_->clips().append("/c/" + std::to_string(i) + ".avi", 1, 0, 0);
    addVideo({"/n/last.avi", "/n/x.avi", "/n/y.avi"});
    EXPECT_EQ(window_->clips().count(), kMaxClips);
    EXPECT_EQ(QString::fromStdString(window_->clips().at(kMaxClips - 1).fileName.str()),
              "/n/last.avi");
    EXPECT_EQ(g_fakeProbeCalls, 1) << "refused files are not measured";
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text,
              "The list already holds 1000 clips. 2 files were not added.");
    expectMirrorsOfTheClips();

    const Media& media = Media::get();
    drop({QUrl::fromLocalFile(media.good[0].path)});
    ASSERT_EQ(boxes_.messages.size(), 2u);
    EXPECT_EQ(boxes_.messages[1].text,
              "The list already holds 1000 clips. " + media.good[0].path + " was not added.");
    EXPECT_EQ(window_->clips().count(), kMaxClips);
}

TEST_F(ClipAddingTest, DropsAddLocalFilesInEveryStateAndPassOverFolders) {
    const Media& media = Media::get();
    ASSERT_GE(media.good.size(), 3u);
    const std::string dir = testmedia::scratchDir("clip_adding_drops");
    std::filesystem::create_directory(dir + "/clips");
    std::ofstream(dir + "/notes.mp4") << "words";
    const QString folder = QString::fromStdString(dir);

    drop({QUrl::fromLocalFile(media.good[0].path), QUrl::fromLocalFile(folder + "/clips"),
          QUrl("https://example.invalid/film.mp4"), QUrl::fromLocalFile(folder + "/gone.mp4"),
          QUrl::fromLocalFile(folder + "/notes.mp4"), QUrl::fromLocalFile(media.good[2].path)});
    EXPECT_EQ(clipPaths(), (std::vector<QString>{media.good[0].path, media.good[2].path}));
    ASSERT_EQ(boxes_.messages.size(), 2u) << "only the file that is not a film is reported";
    expectCannotOpenMessages(0, folder + "/notes.mp4");
    expectMirrorsOfTheClips();
    EXPECT_FALSE(folderStored()) << "drops leave the dialog's folder alone";

    // While a Join runs, Add Video is off but drops still add.
    window_->jobState().setState(JobState::Converting);
    addVideo({media.good[1].path});
    EXPECT_TRUE(dialogs_.requests.empty());
    drop({QUrl::fromLocalFile(media.good[1].path)});
    EXPECT_EQ(window_->clips().count(), 3);
    window_->jobState().setState(JobState::Idle);
}

// "Open with" from a file manager, or a file named in a terminal: the files join the end of
// the list as a drop does; a folder is passed over, a missing file is named.
TEST_F(ClipAddingTest, FilesOnTheCommandLineJoinTheListAfterItsClips) {
    const Media& media = Media::get();
    ASSERT_GE(media.good.size(), 3u);
    addVideo({media.good[0].path});
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(media.folder));
    const QString missing = media.folder + "/no such clip.mp4";
    const QStringList files = filesFromCommandLine(
        {"clipfuse", QFileInfo(media.good[1].path).fileName(), QUrl::fromLocalFile(media.good[2].path).toString(),
         media.folder, missing});
    QDir::setCurrent(previous);
    EXPECT_EQ(files, QStringList({media.good[1].path, media.good[2].path, media.folder, missing}));

    boxes_.messages.clear();
    openCommandLineFiles(*window_, files);
    settle();
    EXPECT_EQ(clipPaths(), std::vector<QString>({media.good[0].path, media.good[1].path, media.good[2].path}));
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, missing + " does not exist!");
    EXPECT_EQ(boxes_.messages[0].caption, "Error");
    expectMirrorsOfTheClips();
    EXPECT_TRUE(filesFromCommandLine({"clipfuse"}).isEmpty());
}

// The window stays usable while files are measured, and what it is given meanwhile follows
// in turn: a drop during a long Add Video lands after the files of the dialog.
TEST_F(ClipAddingTest, CommandsGivenWhileOneIsMeasuredFollowItInTurn) {
    const Media& media = Media::get();
    ASSERT_GE(media.good.size(), 3u);
    dialogs_.answers.push_back(
        {media.good[0].path, media.folder + "/nothing.mp4", media.good[1].path});
    window_->runCommand(ids::kAddVideo);
    EXPECT_FALSE(window_->mediaWorkIdle()) << "the command returns before its files are measured";
    drop({QUrl::fromLocalFile(media.good[2].path)});
    EXPECT_EQ(clipPaths(), (std::vector<QString>{media.good[0].path, media.good[1].path,
                                                  media.good[2].path}));
    ASSERT_EQ(boxes_.messages.size(), 2u);
    expectCannotOpenMessages(0, media.folder + "/nothing.mp4");
    expectMirrorsOfTheClips();
}
