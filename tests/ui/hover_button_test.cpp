// SPDX-License-Identifier: GPL-3.0-or-later
// The owner-drawn button as a user meets it: the pointer entering, moving, leaving and
// coming back, drags, double clicks, and what the button looks like in each state.
#include "ui/hover_button.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "support/qt/recorders.h"
#include "ui/tooltip_text.h"

namespace {

const QColor kLight(0, 255, 0);
const QColor kShadow(0, 0, 255);
const QColor kInk(255, 0, 0);
const QColor kWindow(128, 128, 128);

class HoverButtonTest : public ::testing::Test {
protected:
    HoverButtonTest() {
        window_.resize(200, 100);
        QPalette pal = window_.palette();
        pal.setColor(QPalette::Window, kWindow);
        pal.setColor(QPalette::Light, kLight);
        pal.setColor(QPalette::Dark, kShadow);
        pal.setColor(QPalette::ButtonText, kInk);
        window_.setPalette(pal);
        window_.setAutoFillBackground(true);
        button_ = new CHoverButton(&window_);
        button_->setGeometry(10, 10, 100, 60);
        button_->setText("Join");
        button_->setHoverSound(144);
        button_->setTransparent(true);
        button_->setAlignment(CHoverButton::Alignment::IconAbove);
        window_.show();
    }

    void send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent e(type, pos, button_->mapToGlobal(pos), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(button_, &e);
    }
    void move(QPoint pos, Qt::MouseButtons held = Qt::NoButton) {
        send(QEvent::MouseMove, pos, Qt::NoButton, held);
    }
    void leave() {
        QEvent e(QEvent::Leave);
        QCoreApplication::sendEvent(button_, &e);
    }
    // What is on the screen where the button is.
    QImage look() { return window_.grab(button_->geometry()).toImage(); }

    QDialog window_;
    CHoverButton* button_;
    testqt::SoundRecorder sounds_;
};

bool has(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) return true;
    return false;
}

// The lowest, then rightmost, pixel of `colour`.
QPoint lastOf(const QImage& image, const QColor& colour) {
    QPoint last(-1, -1);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) last = QPoint(x, y);
    return last;
}

}  // namespace

TEST_F(HoverButtonTest, SoundsOncePerEntryAndNeverForADragThatStartedElsewhere) {
    move({20, 20});
    EXPECT_TRUE(button_->isOver());
    move({30, 25});
    move({60, 40});
    EXPECT_EQ(sounds_.played, std::vector<int>{144}) << "moving inside plays nothing more";

    leave();
    EXPECT_FALSE(button_->isOver());
    move({20, 20});
    EXPECT_EQ(sounds_.played, (std::vector<int>{144, 144})) << "entering again plays again";

    // Pressed, dragged out and back in with the button held: the highlight goes and does not
    // come back until the button is let go.
    send(QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
    move({150, 20}, Qt::LeftButton);
    EXPECT_FALSE(button_->isOver());
    move({20, 20}, Qt::LeftButton);
    EXPECT_FALSE(button_->isOver());
    send(QEvent::MouseButtonRelease, {20, 20}, Qt::LeftButton, Qt::NoButton);
    leave();

    // Held down outside and dragged onto the button.
    move({40, 30}, Qt::LeftButton);
    EXPECT_FALSE(button_->isOver());
    EXPECT_EQ(sounds_.played.size(), 2u);
    move({40, 30});
    EXPECT_TRUE(button_->isOver());
    EXPECT_EQ(sounds_.played.size(), 3u);

    button_->setEnabled(false);
    EXPECT_FALSE(button_->isOver()) << "a disabled button is not highlighted";
}

TEST_F(HoverButtonTest, APointerOverADisabledButtonLightsNothing) {
    // Through the window system, which tells a disabled widget of entering as well.
    auto pointAt = [&](QPoint windowPos) {
        QCursor::setPos(window_.mapToGlobal(windowPos));
        QCoreApplication::processEvents();
    };
    pointAt({190, 90});
    button_->setEnabled(false);
    pointAt({40, 40});
    ASSERT_EQ(QApplication::widgetAt(window_.mapToGlobal(QPoint(40, 40))), button_);
    EXPECT_FALSE(button_->isOver());
    EXPECT_TRUE(sounds_.played.empty());
    EXPECT_EQ(look().pixelColor(50, 0), kWindow) << "no raised edge";

    pointAt({190, 90});
    button_->setEnabled(true);
    pointAt({40, 40});
    EXPECT_TRUE(button_->isOver()) << "enabled, the same path lights it up";
    EXPECT_EQ(look().pixelColor(50, 0), kLight);
}

TEST_F(HoverButtonTest, ADoubleClickIsTwoClicks) {
    int clicks = 0;
    QObject::connect(button_, &QAbstractButton::clicked, [&] { ++clicks; });
    send(QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {20, 20}, Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, {20, 20}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {20, 20}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, 2);
}

TEST_F(HoverButtonTest, EdgesFollowThePointerAndTheDisabledCaptionIsEmbossed) {
    QImage idle = look();
    EXPECT_EQ(idle.pixelColor(50, 2), kWindow) << "the window shows through";
    EXPECT_FALSE(has(idle, kLight));
    EXPECT_FALSE(has(idle, kShadow));
    EXPECT_TRUE(has(idle, kInk));

    move({20, 20});
    QImage hovered = look();
    EXPECT_EQ(hovered.pixelColor(50, 0), kLight) << "raised: light on top";
    EXPECT_EQ(hovered.pixelColor(0, 30), kLight);
    EXPECT_EQ(hovered.pixelColor(50, 59), kShadow) << "and shadow below";
    EXPECT_EQ(hovered.pixelColor(99, 30), kShadow);

    send(QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
    QImage pressed = look();
    EXPECT_EQ(pressed.pixelColor(50, 0), kShadow) << "sunken: shadow on top";
    EXPECT_EQ(pressed.pixelColor(50, 59), kLight);
    // The caption moves one pixel down and right.
    const QPoint upInk = lastOf(hovered, kInk);
    EXPECT_EQ(lastOf(pressed, kInk), upInk + QPoint(1, 1));
    send(QEvent::MouseButtonRelease, {150, 20}, Qt::LeftButton, Qt::NoButton);
    leave();

    button_->setEnabled(false);
    QImage disabled = look();
    EXPECT_FALSE(has(disabled, kInk));
    // Embossed: the shadow-coloured caption over a light copy one pixel down and right.
    const QPoint shadow = lastOf(disabled, kShadow);
    ASSERT_NE(shadow, QPoint(-1, -1));
    EXPECT_EQ(lastOf(disabled, kLight), shadow + QPoint(1, 1));
}

TEST_F(HoverButtonTest, ADisabledIconIsGreyed) {
    QPixmap red(16, 16);
    red.fill(kInk);
    button_->setText(QString());
    button_->setIcon(QIcon(red));
    button_->setIconSize({16, 16});
    EXPECT_EQ(look().pixelColor(50, 30), kInk) << "an icon alone stands in the middle";
    button_->setEnabled(false);
    const QColor greyed = look().pixelColor(50, 30);
    EXPECT_NE(greyed, kInk);
    EXPECT_NE(greyed, kWindow);
}

TEST(TooltipText, LongTipsBreakBetweenWordsWithinTheirWidth) {
    const QString tip =
        "Preview the output. (The duration of each clip will be limited in 10 seconds for preview "
        "the result quickly)";
    const QFontMetrics metrics(QToolTip::font());
    const QString wrapped = ui::wrapToWidth(tip, metrics, ui::kMaxTooltipWidth);
    const QStringList lines = wrapped.split('\n');
    EXPECT_GE(lines.size(), 2);
    for (const QString& line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), ui::kMaxTooltipWidth) << line.toStdString();
    EXPECT_EQ(QString(wrapped).replace('\n', ' '), tip) << "nothing lost, nothing added";
    EXPECT_EQ(ui::wrapToWidth("Exit", metrics, ui::kMaxTooltipWidth), "Exit");
}
