// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/pictures.h"

#include <QBitmap>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <functional>
#include <iterator>

namespace res {

namespace {

constexpr int kCanvas = 64;  // icons are drawn on a 64 x 64 canvas and scaled by Qt

const QColor kInk(0x2b, 0x3e, 0x5c);
const QColor kAccent(0x2f, 0x8f, 0xd8);
const QColor kGreen(0x2e, 0xa0, 0x4f);
const QColor kRed(0xd0, 0x3a, 0x30);

QPixmap draw(const std::function<void(QPainter&)>& paint) {
    QPixmap pm(kCanvas, kCanvas);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return pm;
}

// A strip of film: the common motif of the clip icons.
void filmStrip(QPainter& p, const QRectF& r, const QColor& frame) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(r, 4, 4);
    p.setBrush(frame);
    p.drawRect(r.adjusted(9, 5, -9, -5));
    p.setBrush(Qt::white);
    for (qreal y = r.top() + 4; y + 4 <= r.bottom() - 2; y += 8) {
        p.drawRect(QRectF(r.left() + 2.5, y, 4, 4));
        p.drawRect(QRectF(r.right() - 6.5, y, 4, 4));
    }
}

void plusBadge(QPainter& p, QPointF c) {
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(c, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(c.x() - 8, c.y() - 2.5, 16, 5));
    p.drawRect(QRectF(c.x() - 2.5, c.y() - 8, 5, 16));
}

void arrow(QPainter& p, bool up) {
    QPolygonF shape;
    shape << QPointF(32, 6) << QPointF(58, 34) << QPointF(42, 34) << QPointF(42, 58) << QPointF(22, 58)
          << QPointF(22, 34) << QPointF(6, 34);
    if (!up) {
        QTransform flip;
        flip.translate(0, kCanvas).scale(1, -1);
        shape = flip.map(shape);
    }
    QLinearGradient g(0, 0, 0, kCanvas);
    g.setColorAt(0, kAccent.lighter(130));
    g.setColorAt(1, kAccent.darker(120));
    p.setPen(QPen(kInk, 2.5));
    p.setBrush(g);
    p.drawPolygon(shape);
}

void cross(QPainter& p, const QRectF& r, qreal width) {
    p.setPen(QPen(kRed, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

QPixmap picture(int id) {
    switch (id) {
        case 128:  // two clips running into one
            return draw([](QPainter& p) {
                filmStrip(p, QRectF(4, 4, 26, 34), kAccent);
                filmStrip(p, QRectF(34, 4, 26, 34), QColor(0xf0, 0xa0, 0x30));
                p.setPen(Qt::NoPen);
                p.setBrush(kGreen);
                QPolygonF a;
                a << QPointF(14, 42) << QPointF(50, 42) << QPointF(50, 48) << QPointF(32, 62) << QPointF(14, 48);
                p.drawPolygon(a);
            });
        case 140:
            return draw([](QPainter& p) {
                filmStrip(p, QRectF(6, 4, 36, 50), kAccent);
                plusBadge(p, QPointF(46, 46));
            });
        case 145:  // one picture fading into another
            return draw([](QPainter& p) {
                p.setPen(QPen(kInk, 2.5));
                p.setBrush(kAccent);
                p.drawRect(QRectF(6, 8, 34, 30));
                QLinearGradient g(24, 0, 58, 0);
                g.setColorAt(0, QColor(0xf0, 0xa0, 0x30, 40));
                g.setColorAt(1, QColor(0xf0, 0xa0, 0x30));
                p.setBrush(g);
                p.drawRect(QRectF(24, 26, 34, 30));
            });
        case 146:  // sliders
            return draw([](QPainter& p) {
                const qreal ys[] = {14, 32, 50};
                const qreal knobs[] = {20, 42, 28};
                for (int i = 0; i < 3; ++i) {
                    p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
                    p.drawLine(QPointF(8, ys[i]), QPointF(56, ys[i]));
                    p.setPen(QPen(kInk, 2));
                    p.setBrush(kAccent);
                    p.drawEllipse(QPointF(knobs[i], ys[i]), 7, 7);
                }
            });
        case 147:  // play
            return draw([](QPainter& p) {
                p.setPen(QPen(kInk, 2.5));
                p.setBrush(kGreen);
                p.drawEllipse(QRectF(5, 5, 54, 54));
                p.setPen(Qt::NoPen);
                p.setBrush(Qt::white);
                QPolygonF t;
                t << QPointF(25, 17) << QPointF(47, 32) << QPointF(25, 47);
                p.drawPolygon(t);
            });
        case 150: return draw([](QPainter& p) { arrow(p, true); });
        case 151: return draw([](QPainter& p) { arrow(p, false); });
        case 152:
            return draw([](QPainter& p) {
                p.setPen(QPen(kInk, 2));
                p.setBrush(Qt::white);
                p.drawRect(QRectF(8, 14, 48, 36));
                cross(p, QRectF(20, 20, 24, 24), 7);
            });
        case 154:  // a whole list crossed out
            return draw([](QPainter& p) {
                p.setPen(QPen(kInk, 2));
                p.setBrush(Qt::white);
                p.drawRect(QRectF(8, 4, 48, 56));
                p.setPen(QPen(kInk, 3));
                for (int y = 14; y <= 50; y += 9) p.drawLine(16, y, 48, y);
                cross(p, QRectF(14, 12, 36, 40), 7);
            });
        case 155:  // a pencil over a page
            return draw([](QPainter& p) {
                p.setPen(QPen(kInk, 2));
                p.setBrush(Qt::white);
                p.drawRect(QRectF(6, 6, 40, 52));
                p.setPen(QPen(kInk, 3));
                for (int y = 16; y <= 40; y += 8) p.drawLine(12, y, 38, y);
                p.translate(44, 36);
                p.rotate(45);
                p.setPen(QPen(kInk, 2));
                p.setBrush(QColor(0xf0, 0xc0, 0x30));
                p.drawRect(QRectF(-5, -24, 10, 36));
                QPolygonF tip;
                tip << QPointF(-5, 12) << QPointF(5, 12) << QPointF(0, 22);
                p.setBrush(QColor(0xf5, 0xd9, 0xb0));
                p.drawPolygon(tip);
            });
        default: return {};
    }
}

}  // namespace

QIcon icon(int id) {
    const QPixmap pm = picture(id);
    return pm.isNull() ? QIcon() : QIcon(pm);
}

QPixmap backgroundTile() {
    // A quiet blue-grey with a faint diagonal weave whose period divides the tile, so that
    // the tiles meet without seams.
    constexpr int kTile = 48;
    QPixmap tile(kTile, kTile);
    QPainter p(&tile);
    p.fillRect(tile.rect(), QColor(0xe4, 0xeb, 0xf4));
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    for (int k = -kTile; k < kTile; k += 12) p.drawLine(k, kTile, k + kTile, 0);
    return tile;
}

QCursor buttonCursor() {
    // A monochrome pointing hand: 'X' black, '.' white, ' ' clear. The hot spot is the tip
    // of the index finger.
    static const char* const kHand[] = {
        "     XX",
        "    X..X",
        "    X..X",
        "    X..X",
        "    X..X",
        "    X..XXX",
        "    X..X..XXX",
        "    X..X..X..XXX",
        "    X..X..X..X..X",
        "    X..X..X..X..X",
        "XXX X..X..X..X..X",
        "X..XX...........X",
        "X...X...........X",
        " X..X...........X",
        "  X.X...........X",
        "  X.............X",
        "   X............X",
        "   X...........X",
        "    X..........X",
        "    X.........X",
        "     X........X",
        "     X........X",
        "     XXXXXXXXXX",
    };
    constexpr int kSide = 32;
    QBitmap ink(kSide, kSide);
    QBitmap shape(kSide, kSide);
    ink.fill(Qt::color0);
    shape.fill(Qt::color0);
    QPainter inkPainter(&ink);
    QPainter shapePainter(&shape);
    inkPainter.setPen(Qt::color1);
    shapePainter.setPen(Qt::color1);
    for (int y = 0; y < int(std::size(kHand)); ++y) {
        for (int x = 0; kHand[y][x]; ++x) {
            if (kHand[y][x] == ' ') continue;
            shapePainter.drawPoint(x, y);
            if (kHand[y][x] == 'X') inkPainter.drawPoint(x, y);
        }
    }
    inkPainter.end();
    shapePainter.end();
    return QCursor(ink, shape, 5, 0);
}

}  // namespace res
