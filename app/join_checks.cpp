// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/join_checks.h"

#include <QFileInfo>
#include <QStringList>

#include "app/clip_list.h"
#include "output/output_extension.h"
#include "output/output_options.h"
#include "ui/text_lookup.h"

namespace joincheck {
namespace {

// The path a file is known by: its real path when it exists, so that links and "..", which
// name the same file differently, compare equal.
QString identity(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

}  // namespace

std::optional<Refusal> listRefusal(const ClipList& clips) {
    if (clips.empty()) return Refusal{StringText(126), StringText(105)};
    if (clips.count() > kMaxClips || clips.audioSourceCount() > kMaxClips)
        return Refusal{QStringLiteral("The video files are too many! Please delete some files in the list."), {}};
    QStringList measuring, silent;
    for (int i = 0; i < clips.count(); ++i) {
        const QString name = QString::fromStdString(clips.at(i).fileName.str());
        if (clips.at(i).state == ClipState::Measuring) measuring << name;
        if (clips.at(i).state == ClipState::NotAnswering) silent << name;
    }
    if (!silent.isEmpty())
        return Refusal{QStringLiteral("These clips did not answer when the list was read back, so "
                                      "they cannot be used. Remove them, or add them again when "
                                      "their files answer:\n") +
                           silent.join(QLatin1Char('\n')),
                       StringText(105)};
    if (!measuring.isEmpty())
        return Refusal{QStringLiteral("These clips are still being measured; try again in a "
                                      "moment:\n") +
                           measuring.join(QLatin1Char('\n')),
                       StringText(105)};
    return std::nullopt;
}

bool outputIsAClip(const ClipList& clips, const QString& output) {
    const QString target = identity(output);
    for (int i = 0; i < clips.count(); ++i)
        if (identity(QString::fromStdString(clips.at(i).fileName.str())) == target) return true;
    return false;
}

QString outputIsAClipText(const QString& output) {
    return QStringLiteral("The output file %1 is one of the video files in the list. "
                          "Choose another output file in the Options dialog.")
        .arg(output);
}

QString replaceQuestion(const QString& output) {
    return QStringLiteral("%1 ").arg(output) + StringText(131);
}

QString stoppedBeforeWritingText(const QString& output) {
    const QString what = QStringLiteral("The join was stopped before anything was written; ");
    if (QFileInfo::exists(output))
        return what + QStringLiteral("%1 was left as it was.").arg(output);
    return what + QStringLiteral("%1 was not made.").arg(output);
}

bool asksForVideoCompressor(const OutputOptions& options) {
    const bool windowsMedia = options.outputFormat == output::kWmv || options.outputFormat == output::kAsf;
    return !windowsMedia && options.useVideoCompressor == 0;
}

QString noCompressorQuestion() {
    return QStringLiteral(
               "You do not select a video compressor in Options dialog. The output file will be very big.\n"
               "Strongly recommend you to install DivX codec, then select DivX as video compressor.\n"
               "If there is no DivX codec on your system, please download it at %1\n"
               "Do you want to continue?")
        .arg(QString::fromUtf8(kCodecDownloadPage));
}

}  // namespace joincheck
