// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tooltips of the owner-drawn controls: never wider than their maximum width, broken at
// word boundaries as the tooltip window does.
#include <QString>

class QFontMetrics;

namespace ui {

inline constexpr int kMaxTooltipWidth = 400;  // pixels

// `text` with line breaks put between words so that no line is wider than `maxWidth`; a
// single word wider than that stands on its own line.
QString wrapToWidth(const QString& text, const QFontMetrics& metrics, int maxWidth);

}  // namespace ui
