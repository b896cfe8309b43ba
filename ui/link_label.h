// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A static text that behaves as a web link: link colours (unvisited, visited, under the
// pointer), an underline, a hand cursor, a tooltip with its address; a click opens the
// address and tells the user when it cannot be opened.
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QTimer>
#include <QUrl>

class CLinkLabel : public QLabel {
    Q_OBJECT
public:
    // Underline modes.
    static constexpr int kUnderlineAlways = 1;
    static constexpr int kUnderlineNever = 0;
    static constexpr int kUnderlineHover = -1;

    static constexpr QColor kLinkColour{0, 0, 238};
    static constexpr QColor kVisitedColour{85, 26, 139};
    static constexpr QColor kHoverColour{255, 0, 0};

    CLinkLabel(const QString& text, QWidget* parent);

    // Takes the control over once it stands in its dialog with its text, font and place: an
    // empty address is taken from the text (an empty text shows the address), the fonts are
    // made, the control is fitted to its text and gets its cursor and tooltip.
    void attach();

    void SetURL(const QUrl& url);
    void SetUnderline(int mode);
    void SetVisited(bool visited);

    QUrl url() const { return url_; }
    int underline() const { return underline_; }
    bool visited() const { return visited_; }
    bool isOver() const { return over_; }
    // The colour the text is drawn in now.
    QColor textColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void fitToText();
    void checkPointerLeft();
    void open();

    QUrl url_;
    int underline_ = kUnderlineHover;
    bool adjustToFit_ = true;
    bool visited_ = false;
    bool over_ = false;
    bool attached_ = false;
    QFont normalFont_;
    QFont underlineFont_;
    QTimer hoverTimer_;
};
