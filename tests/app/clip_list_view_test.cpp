// SPDX-License-Identifier: GPL-3.0-or-later
// The edit commands of the main window, driven by control id as the buttons drive them.
#include "app/clip_list_view.h"
#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "support/qt/recorders.h"

#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

class ClipEditTest : public ::testing::Test {
protected:
    ClipEditTest() : store_("KORVANE", "clip_edit_test"), window_(store_, "english") {
        window_.initialise();
        table_ = qobject_cast<QTableWidget*>(window_.control(ids::kClipList));
    }

    void fill(int n) {
        for (int i = 0; i < n; ++i)
            window_.clips().append("/clips/c" + std::to_string(i) + ".avi", (10 + i) * media::kTicksPerSecond, i, 2 * media::kTicksPerSecond);
        window_.clipView().refresh();
        window_.clips().rebuildAudioSources();
    }
    void select(std::initializer_list<int> rows) {
        table_->clearSelection();
        for (int r : rows)
            table_->selectionModel()->select(table_->model()->index(r, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // The clips in list order, by their original number.
    std::vector<int> order() const {
        std::vector<int> out;
        for (int i = 0; i < window_.clips().count(); ++i) {
            const std::string name = window_.clips().at(i).fileName.str();
            out.push_back(std::stoi(name.substr(name.rfind("/c") + 2)));
        }
        return out;
    }
    std::vector<int> shownOrder() const {
        std::vector<int> out;
        for (int r = 0; r < table_->rowCount(); ++r) out.push_back(table_->item(r, 0)->text().mid(1).section(QLatin1Char('.'), 0, 0).toInt());
        return out;
    }
    void expectConsistent() {
        EXPECT_EQ(shownOrder(), order());
        const ClipList& list = window_.clips();
        ASSERT_EQ(list.audioSourceCount(), list.count());
        for (int i = 0; i < list.count(); ++i) {
            EXPECT_EQ(list.audioSource(i).fileName.view(), list.at(i).fileName.view());
            EXPECT_EQ(list.audioSource(i).duration, list.at(i).duration);
        }
    }

    SettingsStore store_;
    CSlidemintDlg window_;
    QTableWidget* table_ = nullptr;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST_F(ClipEditTest, RowsShowNameWholeSecondsTransitionAndItsLength) {
    window_.clips().append("/v/holiday.mp4", 39'000'000, 23, 3 * media::kTicksPerSecond);
    window_.clips().append("/v/out.mp4", 9'999'999, 99, 0);
    window_.clipView().refresh();
    EXPECT_EQ(table_->item(0, 0)->text(), "holiday.mp4");
    EXPECT_EQ(table_->item(0, 1)->text(), "3");  // 3.9 s shows 3
    EXPECT_EQ(table_->item(0, 2)->text(), "Triangles, left/right");
    EXPECT_EQ(table_->item(0, 3)->text(), "3");
    EXPECT_EQ(table_->item(1, 1)->text(), "0");
    EXPECT_EQ(table_->item(1, 2)->text(), "Horizontal");
    EXPECT_EQ(table_->horizontalHeaderItem(0)->text(), "Video File Name");
    EXPECT_EQ(table_->horizontalHeaderItem(1)->text(), "Duration(s)");
    EXPECT_EQ(table_->horizontalHeaderItem(2)->text(), "Transition");
    EXPECT_EQ(table_->horizontalHeaderItem(3)->text(), "Duration(s)");
    EXPECT_EQ(table_->columnWidth(0), 144);
    EXPECT_EQ(table_->columnWidth(2), 160);
    EXPECT_EQ(table_->item(0, 0)->textAlignment(), Qt::AlignCenter);
}

TEST_F(ClipEditTest, DeleteSelectedLeavesTheOthersAndNoSelection) {
    fill(5);
    select({1, 3});
    window_.runCommand(ids::kDeleteSelected);
    EXPECT_EQ(order(), (std::vector<int>{0, 2, 4}));
    EXPECT_TRUE(window_.clipView().selectedRows().empty());
    expectConsistent();
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST_F(ClipEditTest, MoveDownAndUpCarryTheSelectedBlock) {
    fill(6);
    select({2, 3});
    window_.runCommand(ids::kMoveDown);
    EXPECT_EQ(order(), (std::vector<int>{0, 1, 4, 2, 3, 5}));
    EXPECT_EQ(window_.clipView().selectedRows(), (std::vector<int>{3, 4}));
    expectConsistent();

    window_.clips().clear();
    fill(6);
    select({2, 3});
    window_.runCommand(ids::kMoveUp);
    EXPECT_EQ(order(), (std::vector<int>{0, 2, 3, 1, 4, 5}));
    EXPECT_EQ(window_.clipView().selectedRows(), (std::vector<int>{1, 2}));
    expectConsistent();
}

TEST_F(ClipEditTest, MovesStopAtTheEndsOfTheList) {
    fill(5);
    select({0, 3});
    window_.runCommand(ids::kMoveUp);
    EXPECT_EQ(order(), (std::vector<int>{0, 1, 2, 3, 4}));
    select({1, 4});
    window_.runCommand(ids::kMoveDown);
    EXPECT_EQ(order(), (std::vector<int>{0, 1, 2, 3, 4}));
    // Separate rows each move one place.
    select({1, 3});
    window_.runCommand(ids::kMoveUp);
    EXPECT_EQ(order(), (std::vector<int>{1, 0, 3, 2, 4}));
    EXPECT_EQ(window_.clipView().selectedRows(), (std::vector<int>{0, 2}));
    expectConsistent();
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST_F(ClipEditTest, CommandsBelowTheirClipCountDoNothingAndSayNothing) {
    window_.runCommand(ids::kDeleteAll);
    window_.runCommand(ids::kDeleteSelected);
    window_.runCommand(ids::kClipProperties);
    fill(1);
    select({0});
    window_.runCommand(ids::kMoveUp);
    window_.runCommand(ids::kMoveDown);
    EXPECT_EQ(order(), (std::vector<int>{0}));
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST_F(ClipEditTest, CommandsWithoutASelectionAskForOne) {
    fill(3);
    table_->clearSelection();
    for (int id : {ids::kDeleteSelected, ids::kMoveUp, ids::kMoveDown, ids::kClipProperties}) {
        window_.runCommand(id);
        ASSERT_FALSE(boxes_.messages.empty()) << id;
        EXPECT_EQ(boxes_.messages.back().text, "Please select an item in the list first");
        EXPECT_EQ(boxes_.messages.back().caption, "");
    }
    EXPECT_EQ(boxes_.messages.size(), 4u);
    EXPECT_EQ(order(), (std::vector<int>{0, 1, 2}));
}

TEST_F(ClipEditTest, DeleteAllEmptiesListViewAndAudio) {
    fill(4);
    select({2});
    window_.runCommand(ids::kDeleteAll);
    EXPECT_EQ(window_.clips().count(), 0);
    EXPECT_EQ(table_->rowCount(), 0);
    EXPECT_EQ(window_.clips().audioSourceCount(), 0);
    EXPECT_TRUE(boxes_.messages.empty());
}
