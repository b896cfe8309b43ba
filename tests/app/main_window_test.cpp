// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/clip_list_view.h"
#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/main_window_layout.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "app/status_line.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"
#include "ui/interface_font.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : store_("KORVANE", "main_window_test") {
        QFile::remove(store_.filePath());
        window_ = std::make_unique<CSlidemintDlg>(store_, "german");
        window_->initialise();
        window_->show();
    }

    QAbstractButton* button(int id) { return qobject_cast<QAbstractButton*>(window_->control(id)); }
    QTableWidget* table() { return qobject_cast<QTableWidget*>(window_->control(ids::kClipList)); }

    void pressKey(int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(window_.get(), &press);
        QCoreApplication::processEvents();  // the close request is posted
    }
    void closeBox() {
        QCloseEvent close;
        QCoreApplication::sendEvent(window_.get(), &close);
    }
    // Every way a user closes the window.
    void tryEveryClose() {
        table()->setFocus();
        button(ids::kExit)->click();
        pressKey(Qt::Key_Escape);
        pressKey(Qt::Key_Return);
        closeBox();
    }

    SettingsStore store_;
    std::unique_ptr<CSlidemintDlg> window_;
    testqt::MessageRecorder boxes_;
    testqt::ShellRecorder shell_;
};

}  // namespace

TEST_F(MainWindowTest, ControlsSitWhereTheTemplatePutsThem) {
    const DialogUnits units(window_->font());
    for (const ControlTemplate& t : mainWindowTemplate()) {
        QWidget* w = window_->control(t.id);
        ASSERT_NE(w, nullptr) << t.id;
        EXPECT_EQ(w->geometry(), units.toPixels(t.rect)) << t.id;
    }
    EXPECT_EQ(window_->windowTitle(), "Clipfuse");
    EXPECT_EQ(button(ids::kAddVideo)->text(), "Add Video");
    EXPECT_EQ(button(ids::kHelp)->text(), "&Help");
    EXPECT_EQ(button(ids::kPreview)->toolTip(),
              "Preview the output. (The duration of each clip will be limited in 10 seconds for preview the result quickly)");
    EXPECT_EQ(button(ids::kDeleteAll)->toolTip(), "Delete all items");
    EXPECT_EQ(button(ids::kExit)->toolTip(), "Exit");
    EXPECT_FALSE(button(ids::kJoin)->icon().isNull());
    EXPECT_TRUE(button(ids::kExit)->icon().isNull());
}

TEST(DialogUnits, ConvertWithTheFontsAverageWidthAndHeight) {
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.toPixels({7, 5, 66, 32}), QRect(10, 8, 99, 52));
    EXPECT_EQ(units.toPixels({325, 44, 24, 16}), QRect(487, 71, 36, 26));
}

TEST_F(MainWindowTest, TheStatusLineNamesTheOutputAndItsSize) {
    QLabel* status = qobject_cast<QLabel*>(window_->control(ids::kStatusLine));
    const QString name = window_->outputOptions().outputName;
    EXPECT_TRUE(name.endsWith("/video_join.wmv")) << name.toStdString();
    EXPECT_EQ(status->text(), "Output file: " + name + "     Resolution: 352*240     Length: 00:00:00");

    OutputOptions o;
    o.outputName = "/v/a.wmv";
    o.outputWidth = 0;
    o.outputHeight = 0;
    EXPECT_EQ(settingsStatusText(o), "Output file: /v/a.wmv     Resolution: Original size");
    EXPECT_EQ(doneStatusText(o), "Done. Output file: /v/a.wmv     Resolution: Original size");
    o.outputWidth = 640;
    EXPECT_EQ(doneStatusText(o), "Done. Output file: /v/a.wmv     Resolution: 640*0");
    EXPECT_EQ(progressStatusText(3725), "Please wait... Used Time: 01:02:05");
    EXPECT_EQ(progressStatusText(0), "Please wait... Used Time: 00:00:00");
}

TEST(DoneStatusText, TellsHowMuchWasCopiedOnlyWhenCopyingWasTried) {
    OutputOptions o;
    o.outputName = "/v/a.mp4";
    o.outputWidth = 1280;
    o.outputHeight = 720;
    const QString done = "Done. Output file: /v/a.mp4     Resolution: 1280*720";
    media::CopyReport report;
    report.copied = 102 * media::kTicksPerSecond;
    report.total = 120 * media::kTicksPerSecond;
    EXPECT_EQ(doneStatusText(o, report), done) << "not tried: the line of every other join";
    report.tried = true;
    EXPECT_EQ(doneStatusText(o, report), done + "     1:42 of 2:00 copied");
    // Whole seconds, the fraction dropped; hours from an hour on.
    report.copied = 3599 * media::kTicksPerSecond + media::kTicksPerSecond / 2;
    report.total = 3723 * media::kTicksPerSecond;
    EXPECT_EQ(doneStatusText(o, report), done + "     59:59 of 1:02:03 copied");
    report.copied = 0;
    report.whyNone = "the clips are 1920x1080, the output 1280x720";
    EXPECT_EQ(doneStatusText(o, report),
              done + "     0:00 copied: the clips are 1920x1080, the output 1280x720");
}

TEST(JoinProgressText, ShowsTheShareDoneAndOnceItCanBeToldTheTimeLeft) {
    EXPECT_EQ(joinProgressText(5, 0.46), "Please wait... Used Time: 00:00:05   46%   about 00:00:06 left");
    EXPECT_EQ(joinProgressText(1, 0.30), "Please wait... Used Time: 00:00:01   30%") << "too early to tell";
    EXPECT_EQ(joinProgressText(9, 0.0), "Please wait... Used Time: 00:00:09   0%") << "nothing written yet";
    EXPECT_EQ(joinProgressText(60, 1.2), "Please wait... Used Time: 00:01:00   99%   about 00:00:01 left")
        << "never 100% before the file is finished";
    EXPECT_EQ(joinProgressText(4, -1.0), "Please wait... Used Time: 00:00:04");
}

TEST_F(MainWindowTest, AStartWithOriginalSizeStoredShowsIt) {
    store_.writeInt(settings::kSettings, settings::kOutputWidth, 0);
    store_.writeInt(settings::kSettings, settings::kOutputHeight, 0);
    CSlidemintDlg fresh(store_, "english");
    fresh.initialise();
    EXPECT_TRUE(fresh.statusText().endsWith("Resolution: Original size     Length: 00:00:00")) << fresh.statusText().toStdString();
}

TEST_F(MainWindowTest, StatesSetButtonTextsAndDisabledButtons) {
    const int idleOnly[] = {ids::kAddVideo, ids::kOptions, ids::kTransition, ids::kPreview};
    window_->jobState().setState(JobState::Converting);
    EXPECT_EQ(button(ids::kJoin)->text(), "Stop");
    EXPECT_EQ(button(ids::kPreview)->text(), "Preview");
    for (int id : idleOnly) EXPECT_FALSE(button(id)->isEnabled()) << id;
    for (int id : {ids::kJoin, ids::kMoveUp, ids::kDeleteAll, ids::kHelp, ids::kAbout, ids::kHomepage})
        EXPECT_TRUE(button(id)->isEnabled()) << id;

    window_->jobState().setState(JobState::Previewing);
    EXPECT_EQ(button(ids::kJoin)->text(), "Join");
    EXPECT_EQ(button(ids::kPreview)->text(), "Stop");
    for (int id : idleOnly) EXPECT_TRUE(button(id)->isEnabled()) << id;

    window_->jobState().setState(JobState::Idle);
    EXPECT_EQ(button(ids::kJoin)->text(), "Join");
    EXPECT_EQ(button(ids::kPreview)->text(), "Preview");
}

TEST_F(MainWindowTest, EveryCloseIsRefusedWhileConverting) {
    window_->jobState().setState(JobState::Converting);
    tryEveryClose();
    EXPECT_TRUE(window_->isVisible());
    ASSERT_EQ(boxes_.messages.size(), 4u);
    for (const ui::Message& m : boxes_.messages) {
        EXPECT_EQ(m.text, "Please first stop converting");
        EXPECT_EQ(m.caption, "Warning");
    }
    EXPECT_FALSE(store_.contains(settings::kOption, settings::kCurrentLanguage));
}

TEST_F(MainWindowTest, EveryCloseIsRefusedWhilePreviewing) {
    window_->jobState().setState(JobState::Previewing);
    tryEveryClose();
    EXPECT_TRUE(window_->isVisible());
    ASSERT_EQ(boxes_.messages.size(), 4u);
    for (const ui::Message& m : boxes_.messages) {
        EXPECT_EQ(m.text, "Please first stop Preview");
        EXPECT_EQ(m.caption, "test_app");
    }
}

TEST_F(MainWindowTest, AnIdleCloseWritesTheLanguageAndEndsTheWindow) {
    for (auto close : {0, 1, 2, 3}) {
        window_ = std::make_unique<CSlidemintDlg>(store_, "german");
        window_->initialise();
        window_->show();
        QFile::remove(store_.filePath());
        switch (close) {
            case 0: button(ids::kExit)->click(); break;
            case 1: pressKey(Qt::Key_Escape); break;
            case 2: table()->setFocus(); pressKey(Qt::Key_Enter); break;
            case 3: closeBox(); break;
        }
        EXPECT_FALSE(window_->isVisible()) << close;
        EXPECT_EQ(store_.readText(settings::kOption, settings::kCurrentLanguage, ""), "german") << close;
    }
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST_F(MainWindowTest, EnterPressesTheFocusedButton) {
    button(ids::kAbout)->setFocus();
    QCoreApplication::processEvents();
    // The About box is modal: answer it as soon as it shows.
    QMetaObject::invokeMethod(
        window_.get(),
        [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->windowTitle() == "About") qobject_cast<QDialog*>(w)->accept();
        },
        Qt::QueuedConnection);
    pressKey(Qt::Key_Return);
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowTest, DoubleClickOpensTheSelectedClipsInTheUsersPlayer) {
    window_->runCommand(ids::kClipList);  // empty list: nothing at all
    EXPECT_TRUE(boxes_.messages.empty());

    const QString dir = QString::fromStdString(testmedia::scratchDir("window_open"));
    QFile(dir + "/a.avi").open(QIODevice::WriteOnly);
    QFile(dir + "/c.avi").open(QIODevice::WriteOnly);
    for (const char* name : {"a.avi", "b.avi", "c.avi"})
        window_->clips().append((dir + "/" + name).toStdString(), media::kTicksPerSecond, 0, 0);
    window_->clipView().refresh();

    window_->runCommand(ids::kClipList);
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, "Please select an item in the list first");

    table()->selectAll();
    window_->runCommand(ids::kClipList);
    ASSERT_EQ(shell_.opened.size(), 1u);  // b.avi is missing: the walk ends there
    EXPECT_EQ(shell_.opened[0], QUrl::fromLocalFile(dir + "/a.avi"));
    ASSERT_EQ(boxes_.messages.size(), 2u);
    EXPECT_EQ(boxes_.messages[1].text, dir + "/b.avi does not exist!");
    EXPECT_EQ(boxes_.messages[1].caption, "Error");
}

TEST_F(MainWindowTest, HelpOpensThePageBesideTheProgramAndHomepageTheVendor) {
    const QString helpDir = QCoreApplication::applicationDirPath() + "/help";
    QDir(helpDir).removeRecursively();
    window_->runCommand(ids::kHelp);
    ASSERT_EQ(boxes_.messages.size(), 1u);  // no help installed: said so, nothing opened
    EXPECT_TRUE(boxes_.messages[0].text.contains("help/index.html"));
    EXPECT_TRUE(shell_.opened.empty());

    QDir().mkpath(helpDir);
    QFile(helpDir + "/index.html").open(QIODevice::WriteOnly);
    window_->runCommand(ids::kHelpCommand);
    window_->runCommand(ids::kHomepage);
    QDir(helpDir).removeRecursively();
    ASSERT_EQ(shell_.opened.size(), 2u);
    EXPECT_EQ(shell_.opened[0], QUrl::fromLocalFile(helpDir + "/index.html"));
    EXPECT_EQ(shell_.opened[1].scheme(), "https");
    EXPECT_EQ(boxes_.messages.size(), 1u);
}

namespace {

// Answers the Font command's dialog with Cancel and counts how often it was opened.
class CancellingFontChooser : public ui::FontChooser {
public:
    CancellingFontChooser() { previous_ = ui::setFontChooser(this); }
    ~CancellingFontChooser() override { ui::setFontChooser(previous_); }
    std::optional<QFont> chooseFont(QWidget*, const QFont&) override {
        ++opened;
        return std::nullopt;
    }
    int opened = 0;

private:
    ui::FontChooser* previous_;
};

}  // namespace

TEST_F(MainWindowTest, FontOpensTheFontDialogAndLanguageCommandsWithoutFilesDoNothing) {
    CancellingFontChooser fonts;
    for (int id : {ids::kPopupFont, ids::kFirstLanguageCommand, ids::kLastLanguageCommand, 4242})
        window_->runCommand(id);
    EXPECT_EQ(fonts.opened, 1);
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_TRUE(shell_.opened.empty());
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowTest, PreviewChecksTheListAndTheJoinFirst) {
    window_->runCommand(ids::kPreview);
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, "Add video files to list");
    EXPECT_EQ(boxes_.messages[0].caption, "Error");

    window_->clips().append("/clips/a.mp4", 10'000'000, 0, 0);
    window_->clips().rebuildAudioSources();
    window_->jobState().setState(JobState::Converting);
    window_->runCommand(ids::kPreview);
    ASSERT_EQ(boxes_.messages.size(), 2u);
    EXPECT_EQ(boxes_.messages[1].text, "Please stop Convert first!");
    window_->jobState().setState(JobState::Idle);

    // A running preview is stopped by the same command.
    window_->jobState().setState(JobState::Previewing);
    window_->runCommand(ids::kPreview);
    EXPECT_FALSE(window_->jobState().previewing());
    EXPECT_EQ(button(ids::kPreview)->text(), "Preview");
}
