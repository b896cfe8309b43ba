// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/link_label.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

#include "platform/application_title.h"
#include "res/pictures.h"
#include "ui/hyperlink.h"
#include "ui/message_box.h"

namespace {

constexpr int kHoverCheckMs = 100;

}  // namespace

CLinkLabel::CLinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Moves without a button held tell when the pointer arrives.
    setMouseTracking(true);
    hoverTimer_.setInterval(kHoverCheckMs);
    connect(&hoverTimer_, &QTimer::timeout, this, &CLinkLabel::checkPointerLeft);
}

void CLinkLabel::attach() {
    if (url_.isEmpty()) url_ = QUrl(text());
    if (text().isEmpty()) setText(url_.toString());
    normalFont_ = font();
    normalFont_.setUnderline(false);
    underlineFont_ = normalFont_;
    underlineFont_.setUnderline(true);
    setFont(underline_ == kUnderlineAlways ? underlineFont_ : normalFont_);
    attached_ = true;
    fitToText();
    setCursor(res::buttonCursor());
    setToolTip(url_.toString());
}

void CLinkLabel::SetURL(const QUrl& url) {
    url_ = url;
    if (!attached_) return;
    fitToText();
    setToolTip(url_.toString());
}

void CLinkLabel::SetUnderline(int mode) {
    if (mode == underline_) return;
    underline_ = mode;
    if (!attached_) return;
    setFont(underline_ == kUnderlineAlways || (underline_ == kUnderlineHover && over_)
                ? underlineFont_
                : normalFont_);
    update();
}

void CLinkLabel::SetVisited(bool visited) {
    visited_ = visited;
    update();
}

QColor CLinkLabel::textColour() const {
    if (over_) return kHoverColour;
    return visited_ ? kVisitedColour : kLinkColour;
}

void CLinkLabel::fitToText() {
    if (!adjustToFit_) return;
    const QSize size = QFontMetrics(underlineFont_).size(Qt::TextSingleLine, text());
    QRect r = geometry();
    const Qt::Alignment a = alignment();
    const int left = a & Qt::AlignHCenter ? r.center().x() - size.width() / 2
                     : a & Qt::AlignRight ? r.right() + 1 - size.width()
                                          : r.left();
    const int top = a & Qt::AlignVCenter ? r.center().y() - size.height() / 2 : r.top();
    setGeometry(QRect(QPoint(left, top), size));
}

void CLinkLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The dialog's own colour behind the text, as a static has.
    p.fillRect(rect(), palette().brush(QPalette::Window));
    p.setFont(font());
    p.setPen(textColour());
    p.drawText(rect(), int(alignment()) | Qt::TextSingleLine, text());
}

void CLinkLabel::mouseMoveEvent(QMouseEvent* event) {
    if (!over_) {
        over_ = true;
        if (underline_ == kUnderlineHover) setFont(underlineFont_);
        update();
        // The pointer's leaving is found by looking: a fast move may leave no event here.
        hoverTimer_.start();
    }
    QLabel::mouseMoveEvent(event);
}

void CLinkLabel::checkPointerLeft() {
    if (rect().contains(mapFromGlobal(QCursor::pos()))) return;
    over_ = false;
    hoverTimer_.stop();
    if (underline_ != kUnderlineAlways) setFont(normalFont_);
    update();
}

void CLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        open();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void CLinkLabel::open() {
    over_ = false;
    const int result = ui::openHyperlink(url_);
    if (result > 32) {
        SetVisited(true);
        return;
    }
    update();
    QApplication::beep();
    ui::showMessage(window(), ui::hyperlinkFailureText(result), platform::applicationTitle(),
                    ui::Buttons::Ok, ui::Icon::Warning);
}
