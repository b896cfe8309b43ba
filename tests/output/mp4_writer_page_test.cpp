// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/mp4_writer_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include "app/control_ids.h"
#include "output/filter_property_dialog.h"

namespace {

QCheckBox* box(QWidget& page, const char* name) {
    return page.findChild<QCheckBox*>(name);
}

}  // namespace

TEST(Mp4WriterPage, ShowsAndReturnsTheChoices) {
    Mp4WriterPage page({.fastStart = true, .fragmented = false});
    ASSERT_NE(box(page, "fastStart"), nullptr);
    ASSERT_NE(box(page, "fragmented"), nullptr);
    EXPECT_TRUE(box(page, "fastStart")->isChecked());
    EXPECT_TRUE(box(page, "fastStart")->isEnabled());
    box(page, "fragmented")->setChecked(true);
    // Fragmented files have their index at the front already.
    EXPECT_FALSE(box(page, "fastStart")->isEnabled());
    EXPECT_EQ(page.options(), (media::Mp4Options{.fastStart = true, .fragmented = true}));
}

TEST(Mp4WriterPage, CancelKeepsTheOptionsAndOkTakesThem) {
    media::Mp4Options options;
    auto tick = [](int result) {
        return [result](Mp4WriterPage& page) {
            box(page, "fastStart")->setChecked(true);
            return result;
        };
    };
    EXPECT_FALSE(editMp4WriterOptions(nullptr, "MP4 Writer", options, tick(QDialog::Rejected)));
    EXPECT_EQ(options, media::Mp4Options{});
    EXPECT_TRUE(editMp4WriterOptions(nullptr, "MP4 Writer", options, tick(QDialog::Accepted)));
    EXPECT_TRUE(options.fastStart);
}

TEST(Mp4WriterPage, OpensFromTheFilterPropertyDialogOwnedByIt) {
    media::Mp4Options options;
    QWidget* owner = nullptr;
    QString caption;
    GraphFilter writer = mp4WriterFilter(options, [&](Mp4WriterPage& page) {
        owner = page.parentWidget();
        caption = page.windowTitle();
        box(page, "fastStart")->setChecked(true);
        return int(QDialog::Accepted);
    });
    ListedOutputGraph graph({{"Mixer", true, {}}, writer});
    CDialogFilterPerproty dlg(graph);
    auto* list = dlg.findChild<QListWidget*>();
    list->setCurrentRow(1);
    for (QPushButton* b : dlg.findChildren<QPushButton*>())
        if (b->property(ids::kControlIdProperty).toInt() == filterdlg::kSettings) b->click();
    EXPECT_EQ(owner, &dlg);
    EXPECT_EQ(caption, "MP4 Writer");
    EXPECT_TRUE(options.fastStart);
}
