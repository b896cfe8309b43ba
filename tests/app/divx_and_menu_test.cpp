#include "app/control_ids.h"
#include "app/divx_feedback.h"
#include "app/main_popup_menu.h"
#include "app/settings_store.h"

#include <QFile>
#include <QMenu>
#include <gtest/gtest.h>

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

TEST(MainPopupMenu, LanguagesFontAndAboutWithTheirCommandIds) {
    QMenu* menu = buildMainPopupMenu(nullptr, {"English", "German", "Japanese"}, "german");
    const auto actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "Language");
    EXPECT_EQ(actions[1]->property(ids::kControlIdProperty).toInt(), 32778);
    EXPECT_EQ(actions[1]->text(), "Font");
    EXPECT_EQ(actions[2]->property(ids::kControlIdProperty).toInt(), 32777);
    EXPECT_EQ(actions[2]->text(), "About");
    const auto languages = actions[0]->menu()->actions();
    ASSERT_EQ(languages.size(), 3);
    EXPECT_EQ(languages[1]->property(ids::kControlIdProperty).toInt(), 45401);
    EXPECT_TRUE(languages[1]->isChecked());  // matched without regard to case
    EXPECT_FALSE(languages[0]->isChecked());
    delete menu;
}
