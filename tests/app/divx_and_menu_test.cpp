// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <QMenu>
#include <memory>

#include "app/control_ids.h"
#include "app/divx_feedback.h"
#include "app/main_popup_menu.h"
#include "app/settings_store.h"

TEST(DivxFeedback, SetsTheLowByteOfAPresentValueAndCreatesNothing) {
    SettingsStore store("DivXNetworks", "DivX4Windows_test");
    QFile::remove(store.filePath());
    DisableDivxFeedback(store);
    EXPECT_FALSE(QFile::exists(store.filePath()));

    store.writeText("", "Other", "kept");
    DisableDivxFeedback(store);
    EXPECT_FALSE(store.contains("", "Disable feedback"));

    store.writeInt("", "Disable feedback", 0x1200);
    DisableDivxFeedback(store);
    EXPECT_EQ(store.readInt("", "disable FEEDBACK", 0), 0x1201);
    EXPECT_EQ(store.readText("", "Other", ""), "kept");

    store.writeText("", "Disable feedback", "no");
    DisableDivxFeedback(store);
    EXPECT_EQ(store.readText("", "Disable feedback", ""), "no");
}

TEST(MainPopupMenu, OnePopupWithTheLanguagePlaceholderFontAndAbout) {
    const std::unique_ptr<QMenu> menu(loadMainPopupMenu(nullptr));
    ASSERT_EQ(menu->actions().size(), 1);
    const auto items = menu->actions()[0]->menu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), "Language");
    ASSERT_NE(items[0]->menu(), nullptr);
    EXPECT_EQ(items[0]->menu()->actions().size(), 1);  // the placeholder
    EXPECT_EQ(items[1]->property(ids::kControlIdProperty).toInt(), 32778);
    EXPECT_EQ(items[1]->text(), "Font");
    EXPECT_EQ(items[2]->property(ids::kControlIdProperty).toInt(), 32777);
    EXPECT_EQ(items[2]->text(), "About");
}
