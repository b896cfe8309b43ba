// SPDX-License-Identifier: GPL-3.0-or-later
// The clip list kept between runs: closing the window and starting again finds the same list,
// measured again; a kept list that is damaged, hostile or on a file that never answers
// neither hangs the start nor is lost.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/clip_list.h"
#include "app/clip_list_file.h"
#include "app/control_ids.h"
#include "app/kept_list_restore.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "support/media/stalled_file.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"
#include "support/qt/run_until.h"

namespace {

constexpr media::Ticks kSecond = media::kTicksPerSecond;

// Resident memory of this process, in MiB.
long residentMiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE) / (1024 * 1024);
}

class KeptClipListTest : public ::testing::Test {
protected:
    KeptClipListTest()
        : store_("KORVANE", "kept_list_test"), folder_(testmedia::scratchDir("kept_list")) {
        QFile::remove(listPath());
        for (const QString& aside : asideFiles())
            QFile::remove(QDir(configFolder()).filePath(aside));
    }

    QString listPath() const { return clipListFileBeside(store_.filePath()); }
    QString configFolder() const { return QFileInfo(store_.filePath()).absolutePath(); }
    QStringList asideFiles() const {
        return QDir(configFolder())
            .entryList({"kept_list_test.cliplist.damaged-*"}, QDir::System | QDir::Files);
    }

    // A real clip of `seconds`, made once per name.
    std::string clip(const std::string& name, double seconds) {
        const std::string path = folder_ + "/" + name;
        testmedia::ClipSpec recipe;
        recipe.width = 160;
        recipe.height = 120;
        recipe.seconds = seconds;
        EXPECT_TRUE(testmedia::makeClip(path, recipe));
        return path;
    }

    void writeList(const QByteArray& bytes) {
        QFile f(listPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray entry(const std::string& file, const char* duration, int transition = 3,
                            const char* transitionDuration = "10000000") {
        return QString(R"({"file":"%1","duration":"%2","transition":%3,"transitionDuration":"%4"})")
            .arg(QString::fromStdString(file), duration)
            .arg(transition)
            .arg(transitionDuration)
            .toUtf8();
    }
    static QByteArray list(const QList<QByteArray>& entries) {
        QByteArray all;
        for (const QByteArray& e : entries) all += (all.isEmpty() ? "" : ",") + e;
        return R"({"version":1,"clips":[)" + all + "]}";
    }

    // A start as the program makes it, and the restore that follows it.
    std::unique_ptr<CSlidemintDlg> start() {
        auto w = std::make_unique<CSlidemintDlg>(store_, "english");
        w->initialise();
        EXPECT_TRUE(testqt::runUntil([&] { return w->mediaWorkIdle(); }));
        return w;
    }

    SettingsStore store_;
    std::string folder_;
    testqt::MessageRecorder boxes_;
};

// A click that reaches the button through the event loop, as the window system's does.
void postClick(QWidget* button) {
    const QPointF at(button->width() / 2.0, button->height() / 2.0);
    QCoreApplication::postEvent(
        button, new QMouseEvent(QEvent::MouseButtonPress, at, button->mapToGlobal(at),
                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(
        button, new QMouseEvent(QEvent::MouseButtonRelease, at, button->mapToGlobal(at),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

}  // namespace

TEST_F(KeptClipListTest, TheListSurvivesACloseAndAStartAndIsMeasuredAgain) {
    const std::string a = clip("a.mp4", 1.0), b = clip("b b.mp4", 2.0), c = clip("c.mp4", 1.0);
    {
        auto first = start();
        EXPECT_TRUE(first->clips().empty());
        first->clips().append(a, 35'000'000, 0, 0);
        // Kept durations are measured again: a wrong one, even an absurd one, is replaced.
        first->clips().append(b, 9'223'372'036'850'000'000, 46, 30'000'000);
        first->clips().append(c, 20'000'000, 7, 10'000'000);
        first->clips().rebuildAudioSources();
        first->clips().remove(0);
        first->clips().rebuildAudioSources();
        // The window ends without any step of its own: the list was kept at the edit.
    }
    ASSERT_TRUE(QFile::exists(listPath()));
    auto second = start();
    const ClipList& clips = second->clips();
    ASSERT_EQ(clips.count(), 2);
    EXPECT_EQ(clips.at(0).fileName.str(), b);
    EXPECT_NEAR(media::ticksToSeconds(clips.at(0).duration), 2.0, 0.05);
    EXPECT_EQ(clips.at(0).transitionIndex, 46);
    EXPECT_EQ(clips.at(0).transitionDuration, 30'000'000);
    EXPECT_EQ(clips.at(0).state, ClipState::Measured);
    EXPECT_EQ(clips.at(1).fileName.str(), c);
    EXPECT_EQ(clips.audioSourceCount(), 2);
    EXPECT_EQ(clips.audioSource(0).duration, clips.at(0).duration);
    auto* table = qobject_cast<QTableWidget*>(second->control(ids::kClipList));
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), "b b.mp4");
    EXPECT_EQ(table->item(0, 1)->text(), "2");
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_TRUE(second->statusText().endsWith("     Length: 00:00:03"))
        << second->statusText().toStdString();
    // The measured durations are what the list keeps now.
    EXPECT_TRUE(QFile(listPath()).open(QIODevice::ReadOnly));
    EXPECT_FALSE(parseKeptClipList([&] {
                     QFile f(listPath());
                     f.open(QIODevice::ReadOnly);
                     return f.readAll();
                 }())
                     .clips.at(0)
                     .duration > 3 * kSecond);

    second->clips().clear();
    second->clips().rebuildAudioSources();
    EXPECT_TRUE(start()->clips().empty()) << "an emptied list is kept empty";
}

TEST_F(KeptClipListTest, ADamagedListIsKeptAsideAndTheWindowSaysWhere) {
    const std::string good = clip("good.mp4", 1.0);
    const QByteArray damaged[] = {
        QByteArray("{\"version\":1,\"clips\":[{\"file\":"), QByteArray("\x00\xff garbage", 10),
        QByteArray("[1,2,3]"), QByteArray("{\"version\":99,\"clips\":[]}"),
        // A transition longer than the property dialog allows, beside a good entry.
        list({entry(good, "10000000"), entry(good, "10000000", 3, "6010000000")})};
    for (const QByteArray& bytes : damaged) {
        writeList(bytes);
        boxes_.messages.clear();
        auto window = start();
        const QStringList aside = asideFiles();
        ASSERT_EQ(aside.size(), 1) << bytes.toStdString();
        const QString keptAs = QDir(configFolder()).filePath(aside[0]);
        QFile copy(keptAs);
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), bytes) << "the damaged list is kept as it was";
        ASSERT_EQ(boxes_.messages.size(), 1u);
        EXPECT_TRUE(boxes_.messages[0].text.contains("was kept as " + keptAs))
            << boxes_.messages[0].text.toStdString();
        // What could be read is the list now, kept in the list's own file.
        const int good = bytes.startsWith("{\"version\":1,\"clips\":[{\"file\":\"") ? 1 : 0;
        EXPECT_EQ(window->clips().count(), good);
        EXPECT_EQ(parseKeptClipList([&] {
                      QFile f(listPath());
                      f.open(QIODevice::ReadOnly);
                      return f.readAll();
                  }())
                      .clips.size(),
                  std::size_t(good));
        QFile::remove(keptAs);
    }
}

TEST_F(KeptClipListTest, AListThatIsNoFileOrClaimsToBeHugeNeitherHangsNorGrows) {
    const std::string path = listPath().toStdString();
    const long before = residentMiB();
    for (int kind = 0; kind < 3; ++kind) {
        QFile::remove(listPath());
        if (kind == 0) {
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);  // no writer: an open would wait
        } else if (kind == 1) {
            ASSERT_EQ(::symlink("/dev/zero", path.c_str()), 0);
        } else {
            std::ofstream(path).close();
            std::filesystem::resize_file(path, 3LL << 30);  // sparse: claims 3 GiB
        }
        boxes_.messages.clear();
        QElapsedTimer clock;
        clock.start();
        auto window = start();
        EXPECT_LT(clock.elapsed(), 5000) << kind;
        EXPECT_TRUE(window->clips().empty());
        ASSERT_EQ(boxes_.messages.size(), 1u) << kind;
        EXPECT_TRUE(boxes_.messages[0].text.contains("was kept as"))
            << boxes_.messages[0].text.toStdString();
        for (const QString& aside : asideFiles())
            QFile::remove(QDir(configFolder()).filePath(aside));
    }
    EXPECT_LT(residentMiB() - before, 64) << "at most 4 MiB of a list is read";
}

TEST_F(KeptClipListTest, ClipsThatNoLongerMeasureAreLeftOutWithOneMessageNamingThem) {
    const std::string keep = clip("keep.mp4", 1.0), gone = folder_ + "/gone.mp4",
                      noise = folder_ + "/noise.mp4";
    {
        std::mt19937 random(7);
        std::ofstream out(noise, std::ios::binary);
        for (int i = 0; i < 200'000; ++i) out.put(static_cast<char>(random()));
    }
    writeList(list(
        {entry(noise, "30000000"), entry(gone, "10000000"), entry(keep, "9223372036850000000")}));
    auto window = start();
    ASSERT_EQ(window->clips().count(), 1);
    EXPECT_EQ(window->clips().at(0).fileName.str(), keep);
    EXPECT_NEAR(media::ticksToSeconds(window->clips().at(0).duration), 1.0, 0.05)
        << "measured again";
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_TRUE(boxes_.messages[0].text.contains(QString::fromStdString(noise)));
    EXPECT_TRUE(boxes_.messages[0].text.contains(QString::fromStdString(gone)));
    EXPECT_TRUE(asideFiles().isEmpty()) << "a list of clips that went is not damaged";
    EXPECT_EQ(start()->clips().count(), 1);
    EXPECT_EQ(boxes_.messages.size(), 1u) << "the message is not shown again";
}

// The program's own start: the window runs modally while the kept list names a clip on a
// share whose open never answers.
TEST_F(KeptClipListTest, AClipWhoseOpenNeverAnswersLeavesTheWindowUsableAtOnce) {
    const std::string hanging = clip("hanging.mp4", 1.0), sibling = clip("sibling.mp4", 1.0);
    std::filesystem::create_directories(folder_ + "/elsewhere");
    const std::string fine = clip("elsewhere/fine.mp4", 1.0);
    writeList(
        list({entry(hanging, "10000000"), entry(sibling, "10000000"), entry(fine, "10000000")}));
    testmedia::StalledFile stalled(hanging, 0, testmedia::StalledFile::Stall::Open);
    {
        auto window = std::make_unique<CSlidemintDlg>(store_, "english");
        window->initialise();
        QElapsedTimer clock;
        qint64 clickedAt = -1, closedAt = -1;
        // A timer of 50 ms keeps time, and Exit is clicked once it has ticked twice.
        int ticks = 0;
        QTimer timer;
        timer.setInterval(50);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (++ticks == 2) {
                clickedAt = clock.elapsed();
                postClick(window->control(ids::kExit));
            }
        });
        QObject::connect(window.get(), &QDialog::finished, [&] { closedAt = clock.elapsed(); });
        QTimer::singleShot(0, [&] {
            clock.start();
            timer.start();
        });
        QTimer::singleShot(10'000, window.get(), [&] { window->done(0); });  // a guard
        window->exec();
        EXPECT_GE(clickedAt, 0);
        EXPECT_LT(clickedAt, 1000) << "the timer kept time";
        EXPECT_LT(closedAt - clickedAt, 1000) << "Exit was heard at once";
        EXPECT_EQ(window->clips().count(), 3) << "the list shows what it keeps";
        QElapsedTimer closing;
        closing.start();
        window.reset();
        EXPECT_LT(closing.elapsed(), 1000) << "closing waits for no worker";
    }
    EXPECT_EQ(parseKeptClipList([&] {
                  QFile f(listPath());
                  f.open(QIODevice::ReadOnly);
                  return f.readAll();
              }())
                  .clips.size(),
              3u)
        << "nothing of the kept list is lost";

    // Once the answer is overdue the clip stays, marked, and so does the other clip of its
    // folder, which is not made to wait as long; Join and Preview name them.
    const auto previous = keptClipAnswerLimit();
    setKeptClipAnswerLimit(std::chrono::milliseconds(300));
    boxes_.messages.clear();
    auto window = start();
    setKeptClipAnswerLimit(previous);
    ASSERT_EQ(window->clips().count(), 3);
    EXPECT_EQ(window->clips().at(0).state, ClipState::NotAnswering);
    EXPECT_EQ(window->clips().at(1).state, ClipState::NotAnswering);
    EXPECT_EQ(window->clips().at(2).state, ClipState::Measured);
    auto* table = qobject_cast<QTableWidget*>(window->control(ids::kClipList));
    EXPECT_EQ(table->item(0, 1)->text(), "no answer");
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_TRUE(boxes_.messages[0].text.contains("did not answer in time"));
    EXPECT_TRUE(boxes_.messages[0].text.contains(QString::fromStdString(hanging)));
    for (int command : {ids::kJoin, ids::kPreview}) {
        window->runCommand(command);
        ASSERT_EQ(boxes_.messages.size(), 2u) << command;
        EXPECT_TRUE(boxes_.messages[1].text.contains(QString::fromStdString(hanging)));
        EXPECT_FALSE(boxes_.messages[1].text.contains(QString::fromStdString(fine)));
        EXPECT_FALSE(window->jobState().converting() || window->jobState().previewing());
        boxes_.messages.pop_back();
    }
}
