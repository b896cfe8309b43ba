#include "app/status_line.h"

#include "output/output_options.h"
#include "ui/text_lookup.h"

namespace {

// The resolution part: "<w>*<h>" or the "Original size" text.
QString sizeText(const OutputOptions& o) {
    if (o.outputWidth == 0 && o.outputHeight == 0) return StringText(111);
    return QStringLiteral("%1*%2").arg(o.outputWidth).arg(o.outputHeight);
}

}  // namespace

QString settingsStatusText(const OutputOptions& o) {
    // Five blanks between the file name and the resolution label.
    return QStringLiteral("%1 %2     %3 %4").arg(StringText(115), o.outputName, StringText(116), sizeText(o));
}

QString doneStatusText(const OutputOptions& o) {
    return QStringLiteral("%1. %2").arg(StringText(163), settingsStatusText(o));
}

QString progressStatusText(int seconds) {
    const int s = qMax(0, seconds);
    return QString::asprintf("Please wait... Used Time: %02d:%02d:%02d", s / 3600, (s % 3600) / 60, (s % 3600) % 60);
}
