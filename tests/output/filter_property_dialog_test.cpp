// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/filter_property_dialog.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "app/control_ids.h"

namespace {

template <typename T>
T* byId(QWidget& dialog, int id) {
    for (T* w : dialog.findChildren<T*>())
        if (w->property(ids::kControlIdProperty).toInt() == id) return w;
    return nullptr;
}

QStringList rows(CDialogFilterPerproty& dlg) {
    QStringList out;
    auto* list = byId<QListWidget>(dlg, filterdlg::kFilterList);
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

bool settingsEnabled(CDialogFilterPerproty& dlg) {
    return byId<QPushButton>(dlg, filterdlg::kSettings)->isEnabled();
}

void select(CDialogFilterPerproty& dlg, int row) {
    byId<QListWidget>(dlg, filterdlg::kFilterList)->setCurrentRow(row);
}

void pressSettings(CDialogFilterPerproty& dlg) {
    byId<QPushButton>(dlg, filterdlg::kSettings)->click();
}

// Records every opening of a component's pages: which one, its owner and caption.
struct PageCalls {
    struct Call {
        int which;
        QWidget* owner;
        QString caption;
    };
    std::vector<Call> calls;
    std::function<void(QWidget*, const QString&)> pages(int which) {
        return [this, which](QWidget* owner, const QString& caption) {
            calls.push_back({which, owner, caption});
        };
    }
};

GraphFilter plain(const QString& name) {
    return {name, true, {}};
}

GraphFilter unreadable() {
    return {QStringLiteral("hidden"), false, {}};
}

class FailingGraph : public OutputGraphView {
public:
    bool enumerateFilters(std::vector<GraphFilter>&) const override { return false; }
};

}  // namespace

TEST(FilterPropertyDialog, OpensWithTheComponentsInOrderAndRowZeroSelected) {
    PageCalls pages;
    ListedOutputGraph graph({{"Video Compressor", true, pages.pages(0)}, unreadable(),
                             plain("MP4 Writer"), plain("File Writer")});
    CDialogFilterPerproty dlg(graph);
    EXPECT_EQ(dlg.windowTitle(), "Set Filter's Properties");
    EXPECT_EQ(rows(dlg), QStringList({"Video Compressor", "<ERROR>", "MP4 Writer", "File Writer"}));
    EXPECT_EQ(byId<QListWidget>(dlg, filterdlg::kFilterList)->currentRow(), 0);
    EXPECT_TRUE(settingsEnabled(dlg));  // row 0 has pages
    EXPECT_TRUE(pages.calls.empty());

    dlg.show();
    byId<QPushButton>(dlg, filterdlg::kContinue)->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST(FilterPropertyDialog, AGraphThatCannotBeListedShowsOneErrorRow) {
    FailingGraph graph;
    CDialogFilterPerproty dlg(graph);
    EXPECT_EQ(rows(dlg), QStringList({"<ERROR>"}));
    EXPECT_FALSE(settingsEnabled(dlg));
    pressSettings(dlg);  // disabled: nothing happens, nothing breaks

    ListedOutputGraph empty({});
    CDialogFilterPerproty none(empty);
    EXPECT_TRUE(rows(none).isEmpty());
    EXPECT_FALSE(settingsEnabled(none));
}

TEST(FilterPropertyDialog, SettingsFollowsTheSelectedComponentsPages) {
    PageCalls pages;
    ListedOutputGraph graph({plain("Mixer"), {"Audio Compressor", true, pages.pages(1)},
                             plain("File Writer")});
    CDialogFilterPerproty dlg(graph);
    EXPECT_FALSE(settingsEnabled(dlg));
    select(dlg, 1);
    EXPECT_TRUE(settingsEnabled(dlg));
    select(dlg, 2);
    EXPECT_FALSE(settingsEnabled(dlg));  // a component without pages after one with them
    select(dlg, 1);
    pressSettings(dlg);
    ASSERT_EQ(pages.calls.size(), 1u);
    EXPECT_EQ(pages.calls[0].which, 1);
    EXPECT_EQ(pages.calls[0].owner, &dlg);
    EXPECT_EQ(pages.calls[0].caption, "Audio Compressor");
}

TEST(FilterPropertyDialog, AnErrorRowOrNoSelectionKeepsTheButtonAsItWas) {
    PageCalls pages;
    ListedOutputGraph graph({{"Writer", true, pages.pages(0)}, unreadable()});
    CDialogFilterPerproty dlg(graph);
    ASSERT_TRUE(settingsEnabled(dlg));
    select(dlg, 1);  // "<ERROR>"
    EXPECT_TRUE(settingsEnabled(dlg));
    select(dlg, -1);
    EXPECT_TRUE(settingsEnabled(dlg));
    pressSettings(dlg);  // nothing selected: nothing opens
    EXPECT_TRUE(pages.calls.empty());

    // An unreadable component ends every search: nothing after it is ever found.
    ListedOutputGraph broken({unreadable(), {"Writer", true, pages.pages(1)}});
    CDialogFilterPerproty second(broken);
    EXPECT_EQ(rows(second), QStringList({"<ERROR>", "Writer"}));
    select(second, 1);
    EXPECT_FALSE(settingsEnabled(second));
    EXPECT_FALSE(second.findFilter("Writer"));
}

TEST(FilterPropertyDialog, TheFirstComponentOfANameIsTheOneFound) {
    PageCalls pages;
    ListedOutputGraph graph({{"Compressor", true, pages.pages(0)},
                             {"Compressor", true, pages.pages(1)},
                             {"compressor", true, pages.pages(2)}});
    CDialogFilterPerproty dlg(graph);
    select(dlg, 1);
    pressSettings(dlg);
    select(dlg, 2);  // names are told apart by case
    pressSettings(dlg);
    ASSERT_EQ(pages.calls.size(), 2u);
    EXPECT_EQ(pages.calls[0].which, 0);
    EXPECT_EQ(pages.calls[1].which, 2);

    // The second of a name decides nothing, even when only it has pages.
    ListedOutputGraph shadowed({plain("Writer"), {"Writer", true, pages.pages(3)}});
    CDialogFilterPerproty other(shadowed);
    select(other, 1);
    EXPECT_FALSE(settingsEnabled(other));
}

TEST(FilterPropertyDialog, ALongNameIsFoundWhole) {
    // Names are compared whole, however long, so a long one still opens its own pages.
    const QString longName = QString(200, QChar('x'));
    PageCalls pages;
    ListedOutputGraph graph({plain(longName + "a"), {longName, true, pages.pages(1)}});
    CDialogFilterPerproty dlg(graph);
    select(dlg, 1);
    EXPECT_TRUE(settingsEnabled(dlg));
    pressSettings(dlg);
    ASSERT_EQ(pages.calls.size(), 1u);
    EXPECT_EQ(pages.calls[0].which, 1);
}
