// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tooltip_text.h"

#include <QFontMetrics>
#include <QStringList>

namespace ui {

QString wrapToWidth(const QString& text, const QFontMetrics& metrics, int maxWidth) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (line.isEmpty() || metrics.horizontalAdvance(longer) <= maxWidth) {
                line = longer;
            } else {
                lines << line;
                line = word;
            }
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace ui
