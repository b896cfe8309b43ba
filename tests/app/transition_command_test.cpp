// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Transition command: the question, the refresh rules and what is kept;
// and the clip property dialog as the window runs it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>

#include "app/clip_list_view.h"
#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/photo_property_dialog.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "app/transition_refresh.h"
#include "app/transition_settings_dialog.h"
#include "support/media/test_media.h"
#include "support/qt/recorders.h"

namespace {

// Acts on the modal dialog of type Dialog as soon as it shows; a dialog the action leaves
// open is cancelled, so that a failing test cannot hang.
template <typename Dialog>
void whenShown(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<Dialog*>(w);
            if (!dialog || !dialog->isVisible()) continue;
            act(*dialog);
            if (dialog->isVisible()) dialog->reject();
            return;
        }
        ADD_FAILURE() << "no dialog showed";
    });
}

struct DialogAnswer {
    QString duration;
    int modeButton;
    int effect;
    bool ok = true;
};

void answerTransitionDialog(const DialogAnswer& a) {
    whenShown<CTransitionSettings>([a](CTransitionSettings& d) {
        qobject_cast<QLineEdit*>(d.control(CTransitionSettings::kDurationEdit))
            ->setText(a.duration);
        qobject_cast<QRadioButton*>(d.control(a.modeButton))->click();
        qobject_cast<QComboBox*>(d.control(CTransitionSettings::kEffectList))
            ->setCurrentIndex(a.effect);
        const int button =
            a.ok ? CTransitionSettings::kOkButton : CTransitionSettings::kCancelButton;
        qobject_cast<QPushButton*>(d.control(button))->click();
    });
}

class TransitionCommandTest : public ::testing::Test {
protected:
    TransitionCommandTest() : store_("KORVANE", "transition_command_test") {
        QFile::remove(store_.filePath());
        window_ = std::make_unique<CSlidemintDlg>(store_, "english");
        window_->initialise();
    }
    void addClips(int count, int transitionIndex = 5, int seconds = 1) {
        for (int i = 0; i < count; ++i)
            window_->clips().append("/v/clip" + std::to_string(i) + ".mp4",
                                    10 * media::kTicksPerSecond, transitionIndex,
                                    seconds * media::kTicksPerSecond);
        window_->clipView().refresh();
    }
    void runTransition(const DialogAnswer& a) {
        answerTransitionDialog(a);
        window_->runCommand(ids::kTransition);
    }
    int questions() const {
        int n = 0;
        for (const ui::Message& m : boxes_.messages) n += m.caption == "Refresh photo list";
        return n;
    }
    QTableWidget* table() { return qobject_cast<QTableWidget*>(window_->control(ids::kClipList)); }

    SettingsStore store_;
    std::unique_ptr<CSlidemintDlg> window_;
    testqt::MessageRecorder boxes_;
};

}  // namespace

TEST(TransitionRefresh, TheQuestionIsAskedOnlyForChangesThatMatter) {
    using M = TransitionMode;
    struct Case {
        TransitionDefaults before, after;
        bool listEmpty, asked;
    };
    const Case cases[] = {
        {{1, M::Random, 0}, {1, M::Random, 0}, false, false},  // nothing changed
        {{1, M::Random, 0}, {1, M::Random, 9}, false, false},  // the effect matters only in Same
        {{1, M::Sequence, 0}, {1, M::Sequence, 9}, false, false},
        {{1, M::Same, 0}, {1, M::Same, 9}, false, true},
        {{1, M::Random, 0}, {2, M::Random, 0}, false, true},    // duration
        {{1, M::Random, 0}, {1, M::Sequence, 0}, false, true},  // mode
        {{1, M::Same, 4}, {1, M::Random, 4}, false, true},
        {{1, M::Same, 0}, {5, M::Random, 9}, true, false},  // empty list: never
    };
    for (const Case& c : cases)
        EXPECT_EQ(refreshQuestionNeeded(c.before, c.after, c.listEmpty), c.asked)
            << static_cast<int>(c.before.mode) << "->" << static_cast<int>(c.after.mode);
}

TEST_F(TransitionCommandTest, SequenceOverAHundredClips) {
    addClips(100);
    boxes_.answers = {ui::Answer::Yes};
    runTransition({"1", CTransitionSettings::kSequenceButton, 0});
    ASSERT_EQ(questions(), 1);
    for (int i = 0; i <= 46; ++i) EXPECT_EQ(window_->clips().at(i).transitionIndex, i) << i;
    for (int i = 47; i <= 92; ++i) EXPECT_EQ(window_->clips().at(i).transitionIndex, i - 46) << i;
    for (int i = 93; i <= 99; ++i) EXPECT_EQ(window_->clips().at(i).transitionIndex, i - 92) << i;
    EXPECT_EQ(table()->item(47, 2)->text(), "Iris");
}

TEST_F(TransitionCommandTest, ADurationChangeInRandomModeKeepsEveryEffect) {
    addClips(5, 9);
    window_->clips().at(2).transitionIndex = 30;
    boxes_.answers = {ui::Answer::Yes};
    runTransition({"2", CTransitionSettings::kRandomButton, 0});
    ASSERT_EQ(boxes_.messages.size(), 1u);
    const ui::Message& m = boxes_.messages[0];
    EXPECT_EQ(m.text,
              "The default parameters have been changed. Do you want to refresh the items of the "
              "photo list now?");
    EXPECT_EQ(m.caption, "Refresh photo list");
    EXPECT_EQ(m.buttons, ui::Buttons::YesNo);
    EXPECT_EQ(m.owner, window_.get());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(window_->clips().at(i).transitionIndex, i == 2 ? 30 : 9);
        EXPECT_EQ(window_->clips().at(i).transitionDuration, 2 * media::kTicksPerSecond);
        EXPECT_EQ(table()->item(i, 3)->text(), "2");
    }
}

TEST_F(TransitionCommandTest, AnsweringNoChangesNoClipButNewClipsGetTheNewDefaults) {
    addClips(5, 9);
    runTransition({"2", CTransitionSettings::kSameButton, 12});  // the recorder answers No
    ASSERT_EQ(questions(), 1);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(window_->clips().at(i).transitionIndex, 9);
        EXPECT_EQ(window_->clips().at(i).transitionDuration, media::kTicksPerSecond);
    }
    EXPECT_EQ(window_->transitionDefaults().durationSeconds, 2);
    EXPECT_EQ(window_->transitionDefaults().mode, TransitionMode::Same);
    EXPECT_EQ(window_->transitionDefaults().effectIndex, 12);
    EXPECT_EQ(store_.readInt(settings::kTransitionSettings, settings::kTransitionName, -1), 12);
}

TEST_F(TransitionCommandTest, SameToRandomDrawsFromTheWindowsGenerator) {
    window_->transitionDefaults() = {1, TransitionMode::Same, 3};
    addClips(30, 3);
    window_->random().seed(1234);
    std::mt19937 expected(1234);
    boxes_.answers = {ui::Answer::Yes};
    runTransition({"1", CTransitionSettings::kRandomButton, 3});
    ASSERT_EQ(questions(), 1);
    int differentFromBefore = 0;
    for (int i = 0; i < 30; ++i) {
        const int index = static_cast<int>(expected() % 47);
        EXPECT_EQ(window_->clips().at(i).transitionIndex, index) << i;
        differentFromBefore += index != 3;
    }
    EXPECT_GT(differentFromBefore, 20);
}

TEST_F(TransitionCommandTest, AnEmptyListIsNeverAskedButTakesTheNewDefaults) {
    runTransition({"7", CTransitionSettings::kSequenceButton, 2});
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_EQ(window_->transitionDefaults().durationSeconds, 7);
    EXPECT_EQ(window_->transitionDefaults().mode, TransitionMode::Sequence);
    EXPECT_EQ(store_.readInt(settings::kTransitionSettings, settings::kTransitionDuration, -1), 7);
    EXPECT_EQ(store_.readInt(settings::kTransitionSettings, settings::kTransitionType, -1), 1);
}

TEST_F(TransitionCommandTest, CancelChangesNothing) {
    addClips(3, 8);
    const TransitionDefaults before = window_->transitionDefaults();
    runTransition({"9", CTransitionSettings::kSameButton, 30, false});
    EXPECT_TRUE(boxes_.messages.empty());
    EXPECT_EQ(window_->transitionDefaults().durationSeconds, before.durationSeconds);
    EXPECT_EQ(window_->transitionDefaults().mode, before.mode);
    EXPECT_EQ(window_->clips().at(1).transitionIndex, 8);
    EXPECT_FALSE(store_.contains(settings::kTransitionSettings, settings::kTransitionDuration));
}

TEST_F(TransitionCommandTest, ThePropertyDialogEditsTheSelectedClip) {
    const QString dir = QString::fromStdString(testmedia::scratchDir("transition_command"));
    const QString replacement = dir + "/replacement.avi";
    QFile(replacement).open(QIODevice::WriteOnly);
    addClips(2, 4, 2);
    table()->selectRow(1);
    whenShown<CPhotoProperty>([&](CPhotoProperty& d) {
        EXPECT_EQ(qobject_cast<QLineEdit*>(d.control(CPhotoProperty::kFileEdit))->text(),
                  "/v/clip1.mp4");
        EXPECT_EQ(qobject_cast<QLineEdit*>(d.control(CPhotoProperty::kDurationEdit))->text(), "2");
        qobject_cast<QLineEdit*>(d.control(CPhotoProperty::kFileEdit))->setText(replacement);
        qobject_cast<QLineEdit*>(d.control(CPhotoProperty::kDurationEdit))->setText("5");
        qobject_cast<QComboBox*>(d.control(CPhotoProperty::kEffectList))->setCurrentIndex(17);
        qobject_cast<QPushButton*>(d.control(CPhotoProperty::kOkButton))->click();
    });
    window_->runCommand(ids::kClipProperties);
    const ClipItem& clip = window_->clips().at(1);
    EXPECT_EQ(QString::fromStdString(clip.fileName.str()), replacement);
    EXPECT_EQ(clip.transitionIndex, 17);
    EXPECT_EQ(clip.transitionDuration, 5 * media::kTicksPerSecond);
    EXPECT_EQ(clip.duration, 10 * media::kTicksPerSecond);
    EXPECT_EQ(table()->item(1, 2)->text(), "Horizontal");
    EXPECT_EQ(window_->clips().audioSource(1).fileName.view(), clip.fileName.view());
    EXPECT_EQ(window_->clips().at(0).transitionIndex, 4);
}
