// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that hand a copy to a dialog and take it back only on OK.
#include "app/clip_list_view.h"
#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "support/qt/recorders.h"

#include <QTableWidget>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

class WindowWithFakeDialogs : public CSlidemintDlg {
public:
    using CSlidemintDlg::CSlidemintDlg;
    std::function<bool(OutputOptions&)> options = [](OutputOptions&) { return false; };
    std::function<bool(ClipPropertyEdit&)> properties = [](ClipPropertyEdit&) { return false; };
    std::optional<ClipPropertyEdit> shown;

protected:
    bool runOptionsDialog(OutputOptions& o) override { return options(o); }
    bool runClipPropertyDialog(ClipPropertyEdit& e) override {
        shown = e;
        return properties(e);
    }
};

class WindowDialogsTest : public ::testing::Test {
protected:
    WindowDialogsTest() : store_("KORVANE", "window_dialogs_test"), window_(store_, "english") {
        window_.initialise();
        window_.clips().append("/v/first.mp4", 39'000'000, 3, 2 * media::kTicksPerSecond);
        window_.clips().append("/v/second.mp4", 120'000'000, 5, media::kTicksPerSecond);
        window_.clipView().refresh();
        window_.clips().rebuildAudioSources();
        table_ = qobject_cast<QTableWidget*>(window_.control(ids::kClipList));
    }
    void selectRow(int row) { table_->selectRow(row); }

    SettingsStore store_;
    WindowWithFakeDialogs window_;
    QTableWidget* table_;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST_F(WindowDialogsTest, OptionsTakeTheCopyBackOnlyOnOkAndRecomposeTheStatusLine) {
    const QString before = window_.statusText();
    window_.options = [](OutputOptions& o) {
        o.outputWidth = 0;
        return false;
    };
    window_.runCommand(ids::kOptions);
    EXPECT_EQ(window_.outputOptions().outputWidth, 352);
    EXPECT_EQ(window_.statusText(), before);

    window_.options = [](OutputOptions& o) {
        o.outputName = "/v/out.asf";
        o.outputWidth = 0;
        o.outputHeight = 0;
        o.outputFormat = 3;
        return true;
    };
    window_.runCommand(ids::kOptions);
    EXPECT_EQ(window_.outputOptions().outputFormat, 3);
    EXPECT_EQ(window_.statusText(), "Output file: /v/out.asf     Resolution: Original size     Length: 00:00:15")
        << window_.statusText().toStdString();
}

TEST_F(WindowDialogsTest, PropertiesEditTheFirstSelectedClipAndKeepItsDuration) {
    table_->selectAll();
    window_.properties = [](ClipPropertyEdit& e) {
        e.fileName = "/v/replacement.avi";
        e.transitionIndex = 46;
        e.transitionSeconds = 4;
        return true;
    };
    window_.runCommand(ids::kClipProperties);
    ASSERT_TRUE(window_.shown);
    EXPECT_EQ(window_.shown->fileName, "/v/first.mp4");
    EXPECT_EQ(window_.shown->transitionIndex, 3);
    EXPECT_EQ(window_.shown->transitionSeconds, 2);

    const ClipItem& clip = window_.clips().at(0);
    EXPECT_EQ(clip.fileName.view(), "/v/replacement.avi");
    EXPECT_EQ(clip.duration, 39'000'000);  // not measured again
    EXPECT_EQ(clip.transitionDuration, 4 * media::kTicksPerSecond);
    EXPECT_EQ(table_->item(0, 0)->text(), "replacement.avi");
    EXPECT_EQ(table_->item(0, 1)->text(), "3");
    EXPECT_EQ(table_->item(0, 2)->text(), "Matrix, horizontal");
    EXPECT_EQ(table_->item(0, 3)->text(), "4");
    EXPECT_EQ(window_.clips().audioSource(0).fileName.view(), "/v/replacement.avi");
    EXPECT_EQ(window_.clips().audioSource(0).duration, 39'000'000);
}

TEST_F(WindowDialogsTest, RightClickOnTheListOpensTheSameDialogAndCancelChangesNothing) {
    selectRow(1);
    emit table_->customContextMenuRequested(QPoint(5, 5));
    ASSERT_TRUE(window_.shown);
    EXPECT_EQ(window_.shown->fileName, "/v/second.mp4");
    EXPECT_EQ(window_.clips().at(1).transitionIndex, 5);
}

TEST_F(WindowDialogsTest, AFileNameTooLongForTheListIsRefusedAndTheClipKept) {
    selectRow(0);
    window_.properties = [](ClipPropertyEdit& e) {
        e.fileName = "/" + QString(300, QChar('x'));
        e.transitionIndex = 1;
        return true;
    };
    window_.runCommand(ids::kClipProperties);
    EXPECT_EQ(window_.clips().at(0).fileName.view(), "/v/first.mp4");
    EXPECT_EQ(window_.clips().at(0).transitionIndex, 3);
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_TRUE(boxes_.messages[0].text.contains("too long"));
    EXPECT_EQ(boxes_.messages[0].caption, "Error");
}
