// The clip list kept between runs: closing the window and starting again finds the same list.
#include <gtest/gtest.h>

#include <QFile>
#include <QTableWidget>

#include "app/clip_list.h"
#include "app/clip_list_file.h"
#include "app/clip_list_view.h"
#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"

namespace {

class KeptClipListTest : public ::testing::Test {
protected:
    KeptClipListTest()
        : store_("KORVANE", "kept_list_test"), folder_(testmedia::scratchDir("kept_list")) {
        QFile::remove(listPath());
    }

    QString listPath() const { return clipListFileBeside(store_.filePath()); }

    // A file that exists; its content does not matter to the list.
    std::string clipFile(const std::string& name) {
        const std::string path = folder_ + "/" + name;
        QFile f(QString::fromStdString(path));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        return path;
    }

    std::unique_ptr<CSlidemintDlg> start() {
        auto w = std::make_unique<CSlidemintDlg>(store_, "english");
        w->initialise();
        return w;
    }

    SettingsStore store_;
    std::string folder_;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST_F(KeptClipListTest, TheListSurvivesACloseAndAStartAndFollowsEveryEdit) {
    const std::string a = clipFile("a.avi"), b = clipFile("b b.mp4"), c = clipFile("c.mkv");
    {
        auto first = start();
        EXPECT_TRUE(first->clips().empty());
        first->clips().append(a, 35'000'000, 0, 0);
        first->clips().append(b, 12'345'678'901, 46, 30'000'000);
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
    EXPECT_EQ(clips.at(0).duration, 12'345'678'901);
    EXPECT_EQ(clips.at(0).transitionIndex, 46);
    EXPECT_EQ(clips.at(0).transitionDuration, 30'000'000);
    EXPECT_EQ(clips.at(1).fileName.str(), c);
    EXPECT_EQ(clips.audioSourceCount(), 2);
    auto* table = qobject_cast<QTableWidget*>(second->control(ids::kClipList));
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), "b b.mp4");
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_TRUE(second->statusText().endsWith("     Length: 00:20:36"))
        << second->statusText().toStdString();

    second->clips().clear();
    second->clips().rebuildAudioSources();
    EXPECT_TRUE(start()->clips().empty()) << "an emptied list is kept empty";
}

TEST_F(KeptClipListTest, ADamagedFileStartsAnEmptyListWithoutAWord) {
    for (const QByteArray& damage :
         {QByteArray("{\"version\":1,\"clips\":[{\"file\":"), QByteArray("\x00\xff garbage", 10),
          QByteArray("[1,2,3]"), QByteArray("{\"version\":99,\"clips\":[]}")}) {
        QFile f(listPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(damage);
        f.close();
        EXPECT_TRUE(start()->clips().empty()) << damage.toStdString();
    }
    EXPECT_TRUE(boxes_.messages.empty());

    // An entry with an impossible value is dropped; the good ones stay.
    const std::string good = clipFile("good.avi");
    QFile f(listPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(
        QString(
            R"({"version":1,"clips":[{"file":"%1","duration":"10000000","transition":3,"transitionDuration":"0"},
                {"file":"%1","duration":"-5","transition":3,"transitionDuration":"0"},
                {"file":"%1","duration":"10000000","transition":47,"transitionDuration":"0"}]})")
            .arg(QString::fromStdString(good))
            .toUtf8());
    f.close();
    EXPECT_EQ(start()->clips().count(), 1);
}

TEST_F(KeptClipListTest, VanishedClipsAreLeftOutWithOneMessageNamingThem) {
    const std::string a = clipFile("keep.avi"), gone1 = clipFile("gone1.avi"),
                      gone2 = clipFile("gone2.avi");
    {
        auto first = start();
        for (const std::string& p : {a, gone1, gone2})
            first->clips().append(p, 10'000'000, 1, 10'000'000);
        first->clips().rebuildAudioSources();
    }
    QFile::remove(QString::fromStdString(gone1));
    QFile::remove(QString::fromStdString(gone2));
    auto second = start();
    ASSERT_EQ(second->clips().count(), 1);
    EXPECT_EQ(second->clips().at(0).fileName.str(), a);
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_TRUE(boxes_.messages[0].text.contains(QString::fromStdString(gone1)));
    EXPECT_TRUE(boxes_.messages[0].text.contains(QString::fromStdString(gone2)));
    EXPECT_EQ(start()->clips().count(), 1) << "the message is not shown again";
    EXPECT_EQ(boxes_.messages.size(), 1u);
}
