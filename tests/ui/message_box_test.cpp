// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/core/status.h"
#include "res/string_table.h"
#include "support/qt/recorders.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

#include <gtest/gtest.h>

using ui::Buttons;
using ui::Icon;

TEST(MessageBox, IconRulesForBoxesThatAskForNone) {
    EXPECT_EQ(ui::effectiveIcon(Buttons::Ok, Icon::None), Icon::Warning);
    EXPECT_EQ(ui::effectiveIcon(Buttons::OkCancel, Icon::None), Icon::Warning);
    EXPECT_EQ(ui::effectiveIcon(Buttons::YesNo, Icon::None), Icon::Question);
    EXPECT_EQ(ui::effectiveIcon(Buttons::YesNo, Icon::Warning), Icon::Warning);
    EXPECT_EQ(ui::effectiveIcon(Buttons::Ok, Icon::Error), Icon::Error);
}

TEST(MessageBox, PlainBoxesQuestionsDiagnosticsAndMediaErrors) {
    testqt::MessageRecorder boxes;
    ui::showPlainMessage(nullptr, "plain");
    boxes.answers = {ui::Answer::Yes, ui::Answer::No};
    EXPECT_TRUE(ui::askYesNo(nullptr, "replace?", "Warning", Icon::Warning));
    EXPECT_FALSE(ui::askYesNo(nullptr, "again?", "Warning"));
    ShowDiagnostic(QString(600, QChar('x')));
    ReportMediaError(nullptr, media::Status::fail("Could not open the writer."), "RenderToFile");
    ReportMediaError(nullptr, media::Status(static_cast<std::int32_t>(0x80040218), ""), "Connect");
    ReportMediaError(nullptr, media::Status::ok(), "never shown");

    ASSERT_EQ(boxes.messages.size(), 6u);
    EXPECT_EQ(boxes.messages[0].caption, "test_ui");  // the application title
    EXPECT_EQ(boxes.messages[0].icon, Icon::Warning);
    EXPECT_EQ(boxes.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(boxes.messages[1].buttons, Buttons::YesNo);
    EXPECT_EQ(boxes.messages[1].icon, Icon::Warning);
    EXPECT_EQ(boxes.messages[2].icon, Icon::Question);
    EXPECT_EQ(boxes.messages[3].caption, "Vantrel");
    EXPECT_EQ(boxes.messages[3].text.size(), 512);
    EXPECT_EQ(boxes.messages[3].owner, nullptr);
    EXPECT_EQ(boxes.messages[4].text, "Could not open the writer.");
    EXPECT_EQ(boxes.messages[4].caption, "RenderToFile");
    EXPECT_EQ(boxes.messages[4].icon, Icon::Error);
    EXPECT_EQ(boxes.messages[5].text, "Unknown Error: 0x80040218");
}

namespace {

class FakeLanguage : public ui::Translations {
public:
    QString stringText(int id) const override { return id == 105 ? "Fehler" : QString(); }
    QString dialogText(int id) const override { return id == 124 ? "Halt" : QString(); }
};

}  // namespace

TEST(TextLookup, BuiltInTextsAndTranslationsWithFallback) {
    EXPECT_EQ(StringText(144), "Please select an item in the list first");
    EXPECT_EQ(StringText(163), "Done");
    EXPECT_EQ(StringText(9999), "");
    EXPECT_EQ(DialogTextOrString(141), "Preview");

    FakeLanguage german;
    ui::setTranslations(&german);
    EXPECT_EQ(StringText(105), "Fehler");
    EXPECT_EQ(StringText(108), "Warning");  // empty translation keeps the English text
    EXPECT_EQ(DialogTextOrString(124), "Halt");
    EXPECT_EQ(DialogTextOrString(105), "Error");  // dialog texts never take string translations
    ui::setTranslations(nullptr);
    EXPECT_EQ(StringText(105), "Error");
}

TEST(StringTable, HoldsEveryIdOnceWithText) {
    ASSERT_GE(res::builtInStringCount(), 39);
    for (int i = 0; i < res::builtInStringCount(); ++i) {
        EXPECT_STRNE(res::builtInString(res::builtInStringIdAt(i)), "") << res::builtInStringIdAt(i);
        if (i) {
            EXPECT_LT(res::builtInStringIdAt(i - 1), res::builtInStringIdAt(i));
        }
    }
}
