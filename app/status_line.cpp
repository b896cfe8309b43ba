// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/status_line.h"

#include "output/output_options.h"
#include "ui/text_lookup.h"

namespace {

// The resolution part: "<w>*<h>" or the "Original size" text.
QString sizeText(const OutputOptions& o) {
    if (o.outputWidth == 0 && o.outputHeight == 0) return StringText(111);
    return QStringLiteral("%1*%2").arg(o.outputWidth).arg(o.outputHeight);
}

// "m:ss", or "h:mm:ss" from an hour on; whole seconds, the fraction dropped.
QString shortDurationText(media::Ticks t) {
    const auto s = static_cast<long long>(qMax<media::Ticks>(0, t) / media::kTicksPerSecond);
    if (s < 3600) return QString::asprintf("%lld:%02lld", s / 60, s % 60);
    return QString::asprintf("%lld:%02lld:%02lld", s / 3600, (s % 3600) / 60, s % 60);
}

}  // namespace

QString settingsStatusText(const OutputOptions& o) {
    // Five blanks between the file name and the resolution label.
    return QStringLiteral("%1 %2     %3 %4").arg(StringText(115), o.outputName, StringText(116), sizeText(o));
}

QString doneStatusText(const OutputOptions& o, const media::CopyReport& copied) {
    QString text = QStringLiteral("%1. %2").arg(StringText(163), settingsStatusText(o));
    if (!copied.tried) return text;
    if (copied.copied <= 0 && !copied.whyNone.empty())
        return text + QStringLiteral("     0:00 copied: ") + QString::fromStdString(copied.whyNone);
    return text + QStringLiteral("     %1 of %2 copied")
                      .arg(shortDurationText(copied.copied), shortDurationText(copied.total));
}

namespace {

QString clockText(int seconds) {
    const int s = qMax(0, seconds);
    return QString::asprintf("%02d:%02d:%02d", s / 3600, (s % 3600) / 60, (s % 3600) % 60);
}

// Before two seconds have passed and 1% is written, a rate measured from so little says
// nothing about the rest of the join.
constexpr int kEstimateAfterSeconds = 2;
constexpr double kEstimateAfterShare = 0.01;

}  // namespace

QString lengthStatusText(media::Ticks length) {
    const media::Ticks seconds = qMax<media::Ticks>(0, length / media::kTicksPerSecond);
    return QStringLiteral("     Length: ") + clockText(static_cast<int>(qMin<media::Ticks>(seconds, 359999)));
}

QString progressStatusText(int seconds) {
    return QStringLiteral("Please wait... Used Time: ") + clockText(seconds);
}

QString joinProgressText(int seconds, double done) {
    QString text = progressStatusText(seconds);
    if (done < 0) return text;
    // 100% only when the file is finished, which ends the progress line anyway.
    const double share = qMin(done, 0.99);
    text += QStringLiteral("   %1%").arg(static_cast<int>(share * 100));
    if (seconds >= kEstimateAfterSeconds && share >= kEstimateAfterShare) {
        const double left = seconds * (1.0 - share) / share;
        text += QStringLiteral("   about %1 left").arg(clockText(static_cast<int>(left + 0.5)));
    }
    return text;
}
