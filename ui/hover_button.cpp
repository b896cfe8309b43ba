// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/hover_button.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "ui/sound_player.h"
#include "ui/tooltip_text.h"

namespace {

constexpr int kIconMargin = 3;  // pixels between the button's edge and its icon

}  // namespace

CHoverButton::CHoverButton(QWidget* parent) : QPushButton(parent) {
    setFlat(true);
    // Moves over the button arrive without a button held: that is how entering is seen.
    setMouseTracking(true);
}

void CHoverButton::setTransparent(bool on) {
    transparent_ = on;
    update();
}

void CHoverButton::setAlignment(Alignment alignment) {
    alignment_ = alignment;
    update();
}

void CHoverButton::setDrawBorder(bool on) {
    drawBorder_ = on;
    update();
}

void CHoverButton::trackPointer(QPointF pos, Qt::MouseButtons buttons) {
    // A drag that started elsewhere does not light the button up, nor does the pointer
    // over a button that cannot be pressed (the window system still tells it of entering).
    if (((buttons & Qt::LeftButton) && !over_) || !isFlat() || !isEnabled()) return;
    if (!rect().contains(pos.toPoint())) {
        clearOver();
        return;
    }
    if (over_) return;
    over_ = true;
    update();
    if (hoverSound_) ui::soundPlayer().play(hoverSound_);
}

void CHoverButton::clearOver() {
    if (!isFlat() || !over_) return;
    over_ = false;
    update();
}

void CHoverButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    trackPointer(event->position(), QGuiApplication::mouseButtons());
}

void CHoverButton::mouseMoveEvent(QMouseEvent* event) {
    trackPointer(event->position(), event->buttons());
    QPushButton::mouseMoveEvent(event);
}

void CHoverButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click is a click of its own.
    mousePressEvent(event);
}

void CHoverButton::leaveEvent(QEvent* event) {
    clearOver();
    QPushButton::leaveEvent(event);
}

void CHoverButton::focusOutEvent(QFocusEvent* event) {
    clearOver();
    QPushButton::focusOutEvent(event);
}

void CHoverButton::changeEvent(QEvent* event) {
    // Disabled, or its window no longer active (a modal box came up, another window took
    // over): the pointer is no longer "over" the button in any useful sense. The focus of a
    // disabled button moves on to the next control by Qt's own rule.
    if ((event->type() == QEvent::EnabledChange && !isEnabled()) ||
        (event->type() == QEvent::ActivationChange && !isActiveWindow()))
        clearOver();
    QPushButton::changeEvent(event);
}

bool CHoverButton::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        if (toolTip().isEmpty()) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text =
            ui::wrapToWidth(toolTip(), QFontMetrics(QToolTip::font()), ui::kMaxTooltipWidth);
        QToolTip::showText(help->globalPos(), text, this, rect());
        return true;
    }
    return QPushButton::event(event);
}

void CHoverButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // A transparent button paints nothing of its own: the window under it shows through.
    if (!transparent_) p.fillRect(rect(), palette().brush(QPalette::Button));
    drawBorder(p);
    if (isDown()) p.translate(pressedOffset_);
    drawContent(p);
    // No focus rectangle: a flat button shows its focus only by taking Enter.
}

void CHoverButton::drawBorder(QPainter& p) const {
    if (!isFlat() || !drawBorder_ || !isEnabled() || !(isDown() || over_)) return;
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    // Raised: light top-left, shadow bottom-right; sunken the other way round.
    const QColor topLeft = isDown() ? shadow : light;
    const QColor bottomRight = isDown() ? light : shadow;
    const QRect r = rect();
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void CHoverButton::drawContent(QPainter& p) const {
    QRect captionArea = rect();
    const QString caption = text();
    if (!icon().isNull()) {
        const QSize size = iconSize();
        QRect iconRect(QPoint(0, 0), size);
        switch (alignment_) {
            case Alignment::IconAbove:
                iconRect.moveLeft((width() - size.width()) / 2);
                iconRect.moveTop(caption.isEmpty() ? (height() - size.height()) / 2 : kIconMargin);
                captionArea.setTop(size.height());
                break;
            case Alignment::IconLeft:
                iconRect.moveTopLeft({kIconMargin, (height() - size.height()) / 2});
                captionArea.setLeft(iconRect.right() + 1);
                break;
            case Alignment::IconRight:
                iconRect.moveTopLeft(
                    {width() - kIconMargin - size.width(), (height() - size.height()) / 2});
                captionArea.setRight(iconRect.left() - 1);
                break;
        }
        icon().paint(&p, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }
    if (caption.isEmpty()) return;
    const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    if (isEnabled()) {
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(captionArea, flags, caption);
        return;
    }
    // Embossed: a light copy one pixel down and right, the shadow-coloured text on top.
    p.setPen(palette().color(QPalette::Light));
    p.drawText(captionArea.translated(1, 1), flags, caption);
    p.setPen(palette().color(QPalette::Dark));
    p.drawText(captionArea, flags, caption);
}
