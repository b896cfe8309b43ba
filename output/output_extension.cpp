// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/output_extension.h"

#include "ui/message_box.h"

namespace output {

QString outputFormatExtension(int code) {
    static const char* const kExtensions[] = {".avi", ".wmv", ".mkv", ".asf", ".mp4", ".dsm", ".ogm"};
    if (code < 0 || code > 6) return {};
    return QString::fromLatin1(kExtensions[code]);
}

QString outputFormatFilter(int code) {
    static const char* const kFilterTexts[] = {
        "Audio Video Interleave file(*.avi)", "Windows Media Video file (*.wmv)",
        "Matroska video file(*.mkv)",         "Advanced Systems Format file(*.asf)",
        "MPEG-4 file(*.mp4)",                 "DSM file(*.dsm)",
        "Ogg Media File(*.ogm)"};
    if (code < 0 || code > 6) return {};
    return QString::fromLatin1(kFilterTexts[code]);
}

std::optional<QString> withOutputExtension(int code, const QString& path) {
    const QString extension = outputFormatExtension(code);
    if (extension.isEmpty()) return std::nullopt;
    // Only the file name's own extension goes: a "." in a folder name ("/home/j.doe/...")
    // is part of the folder, and a name that starts with "." (".clip") has no extension.
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    const bool hasExtension = dot > nameStart;
    return (hasExtension ? path.left(dot) : path) + extension;
}

}  // namespace output

bool ApplyOutputExtension(int code, QString& path) {
    const auto result = output::withOutputExtension(code, path);
    if (!result) {
        ui::showMessage(nullptr, QStringLiteral("Does not support the video format"), QStringLiteral("Error"),
                        ui::Buttons::Ok, ui::Icon::None);
        return false;
    }
    path = *result;
    return true;
}
