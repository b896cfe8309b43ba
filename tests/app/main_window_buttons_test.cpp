// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's owner-drawn buttons as the window sets them up, and where its popup
// menu opens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBitmap>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/settings_store.h"
#include "support/qt/recorders.h"
#include "ui/hover_button.h"

namespace {

class MainWindowButtonsTest : public ::testing::Test {
protected:
    MainWindowButtonsTest() : store_("KORVANE", "main_window_buttons_test") {
        QFile::remove(store_.filePath());
        window_ = std::make_unique<CSlidemintDlg>(store_, "english");
        window_->initialise();
        window_->show();
    }
    CHoverButton* button(int id) { return qobject_cast<CHoverButton*>(window_->control(id)); }

    // Right-clicks `target` at `pos`, as a person does, and says whether the popup menu
    // opened (it is closed at once).
    bool rightClickOpensMenu(QWidget* target, QPoint pos) {
        bool opened = false;
        QTimer::singleShot(50, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                opened = true;
                menu->close();
            }
        });
        QMouseEvent release(QEvent::MouseButtonRelease, pos, target->mapToGlobal(pos),
                            Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &release);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 150) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return opened;
    }

    SettingsStore store_;
    std::unique_ptr<CSlidemintDlg> window_;
    testqt::MessageRecorder boxes_;
    testqt::SoundRecorder sounds_;
};

}  // namespace

TEST_F(MainWindowButtonsTest, EveryButtonHoversWithTheSoundAndTheHand) {
    const int all[] = {ids::kAddVideo,  ids::kTransition,
                       ids::kOptions,   ids::kPreview,
                       ids::kJoin,      ids::kMoveUp,
                       ids::kMoveDown,  ids::kDeleteSelected,
                       ids::kDeleteAll, ids::kClipProperties,
                       ids::kHelp,      ids::kHomepage,
                       ids::kAbout,     ids::kExit};
    for (int id : all) {
        CHoverButton* b = button(id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_TRUE(b->isFlat() && b->isTransparent()) << id;
        EXPECT_EQ(b->alignment(), CHoverButton::Alignment::IconAbove) << id;
        EXPECT_EQ(b->cursor().shape(), Qt::BitmapCursor) << id;
        EXPECT_EQ(b->cursor().hotSpot(), QPoint(5, 0)) << id;
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), b->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(b, &move);
    }
    EXPECT_EQ(sounds_.played, std::vector<int>(std::size(all), 144));
    EXPECT_EQ(button(ids::kJoin)->cursor().bitmap().size(), QSize(32, 32));
}

TEST_F(MainWindowButtonsTest, ThePopupMenuOpensOnTheBackgroundOnly) {
    for (int id : {ids::kHomepage, ids::kAbout, ids::kExit, ids::kAddVideo, ids::kStatusLine})
        EXPECT_FALSE(rightClickOpensMenu(window_->control(id), QPoint(3, 3))) << id;
    // Between two command buttons, inside their frame; and below the list.
    const QRect add = window_->control(ids::kAddVideo)->geometry();
    const QRect transition = window_->control(ids::kTransition)->geometry();
    EXPECT_TRUE(rightClickOpensMenu(
        window_.get(), QPoint((add.right() + transition.left()) / 2, add.center().y())));
    EXPECT_TRUE(rightClickOpensMenu(
        window_.get(), QPoint(window_->width() / 2, window_->control(ids::kHelp)->y() - 2)));
    EXPECT_TRUE(boxes_.messages.empty());
}

TEST_F(MainWindowButtonsTest, EnterPressesTheFocusedButton) {
    button(ids::kJoin)->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(button(ids::kJoin), &enter);
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes_.messages.size(), 1u);
    EXPECT_EQ(boxes_.messages[0].text, "Add video files to list") << "Join ran, the window stays";
    EXPECT_TRUE(window_->isVisible());
}
