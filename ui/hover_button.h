// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A flat command button drawn by the program itself: its icon above (or beside) its
// caption, a thin raised edge while the pointer is over it and a thin sunken edge while it
// is pressed, the window's background showing through. Entering it plays a short sound
// once and shows the button's own cursor; its tooltip is never wider than 400 pixels.
// Clicks are the ordinary button clicks that the window already handles.
#include <QPoint>
#include <QPushButton>

class CHoverButton : public QPushButton {
    Q_OBJECT
public:
    // Where the icon stands against the caption.
    enum class Alignment { IconLeft = 0, IconAbove = 1, IconRight = 2 };

    explicit CHoverButton(QWidget* parent = nullptr);

    // Wave resource played when the pointer enters the button; 0 for none.
    void setHoverSound(int waveId) { hoverSound_ = waveId; }
    // Shows the window under the button instead of filling the button with its colour.
    void setTransparent(bool on);
    void setHoverCursor(const QCursor& cursor) { setCursor(cursor); }
    void setTooltipText(const QString& text) { setToolTip(text); }
    void setAlignment(Alignment alignment);
    void setDrawBorder(bool on);

    Alignment alignment() const { return alignment_; }
    bool isTransparent() const { return transparent_; }
    bool isOver() const { return over_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The pointer is at `pos` (button coordinates) with `buttons` held.
    void trackPointer(QPointF pos, Qt::MouseButtons buttons);
    void clearOver();
    void drawBorder(QPainter& p) const;
    void drawContent(QPainter& p) const;

    int hoverSound_ = 0;
    bool transparent_ = false;
    bool drawBorder_ = true;
    Alignment alignment_ = Alignment::IconLeft;
    QPoint pressedOffset_{1, 1};
    bool over_ = false;
};
