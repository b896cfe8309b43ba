// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/clip_list_file.h"

#include <sys/stat.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "app/clip_list.h"
#include "app/transition_defaults.h"
#include "media/core/clip_reader.h"
#include "media/core/input_file.h"
#include "platform/atomic_file.h"

namespace {

constexpr int kFormatVersion = 1;
constexpr int kTransitionCount = 47;

}  // namespace

QString clipListFileBeside(const QString& settingsPath) {
    QString base = settingsPath;
    if (base.endsWith(QStringLiteral(".ini"))) base.chop(4);
    return base + QStringLiteral(".cliplist.json");
}

bool saveClipList(const ClipList& clips, const QString& path) {
    QJsonArray entries;
    for (int i = 0; i < clips.count(); ++i) {
        const ClipItem& c = clips.at(i);
        entries.append(QJsonObject{
            {QStringLiteral("file"), QString::fromStdString(c.fileName.str())},
            // Ticks are 64-bit; a JSON number keeps integers exactly only up to 2^53, which
            // is beyond 28 years of video, and text keeps them whatever their size.
            {QStringLiteral("duration"), QString::number(c.duration)},
            {QStringLiteral("transition"), c.transitionIndex},
            {QStringLiteral("transitionDuration"), QString::number(c.transitionDuration)},
        });
    }
    const QJsonObject root{{QStringLiteral("version"), kFormatVersion},
                           {QStringLiteral("clips"), entries}};
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return platform::writeFileAtomically(QFile::encodeName(path).toStdString(),
                                         bytes.toStdString());
}

namespace {

bool readTicks(const QJsonValue& v, media::Ticks& out) {
    bool ok = false;
    const qlonglong n = v.toString().toLongLong(&ok);
    if (!ok || n < 0) return false;
    out = n;
    return true;
}

}  // namespace

KeptClipList parseKeptClipList(const QByteArray& bytes) {
    KeptClipList result;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    const QJsonObject root = doc.object();
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        root.value(QStringLiteral("version")).toInt() != kFormatVersion ||
        !root.value(QStringLiteral("clips")).isArray()) {
        result.damaged = true;
        result.reason = QStringLiteral("it is not a clip list");
        return result;
    }
    constexpr media::Ticks kLongestTransition = kMaxTransitionSeconds * media::kTicksPerSecond;
    for (const QJsonValue& v : root.value(QStringLiteral("clips")).toArray()) {
        const QJsonObject e = v.toObject();
        KeptClip clip;
        clip.file = e.value(QStringLiteral("file")).toString();
        clip.transition = e.value(QStringLiteral("transition")).toInt(-1);
        if (clip.file.isEmpty() || clip.transition < 0 || clip.transition >= kTransitionCount ||
            !readTicks(e.value(QStringLiteral("duration")), clip.duration) ||
            !readTicks(e.value(QStringLiteral("transitionDuration")), clip.transitionDuration) ||
            clip.transitionDuration > kLongestTransition) {
            result.damaged = true;
            result.reason = QStringLiteral("some of its entries are impossible");
            continue;
        }
        if (static_cast<int>(result.clips.size()) >= kMaxClips) {
            result.damaged = true;
            result.reason = QStringLiteral("it holds more than %1 clips").arg(kMaxClips);
            break;
        }
        result.clips.push_back(std::move(clip));
    }
    return result;
}

KeptClipList readKeptClipList(const QString& path, std::chrono::milliseconds limit) {
    // The start's clips wait for the list: a file that never answers is given up at the
    // limit, not waited for until the stall limit.
    const media::ReadCancel giveUp(limit);
    std::string bytes;
    const media::Status read =
        media::readSmallFile(QFile::encodeName(path).toStdString(), kMaxKeptListBytes, bytes);
    if (read.code() == media::Status::kFileNotFound) return {};
    KeptClipList result;
    if (read.failed()) {
        // Only what is known to be wrong with the file itself makes it damaged. A file that
        // gave no answer, or that this user may not read, is left alone, and so is the list.
        const bool notAFile = read.code() == media::Status::kInvalidArg;
        const bool tooLarge = read.code() == media::kFileTooLarge;
        const bool empty = read.text().rfind("The file is empty", 0) == 0;
        if (!notAFile && !tooLarge && !empty) {
            result.unreadable = true;
            result.reason = media::readsCancelled()
                                ? QStringLiteral("it gave no answer within %1 seconds")
                                      .arg(limit.count() / 1000.0)
                                : QString::fromStdString(read.text());
            return result;
        }
        result.damaged = true;
        result.reason =
            tooLarge   ? QStringLiteral("it is larger than %1 MiB").arg(kMaxKeptListBytes >> 20)
            : notAFile ? QStringLiteral("it is not a regular file")
                       : QStringLiteral("it is empty");
    } else {
        result = parseKeptClipList(QByteArray::fromStdString(bytes));
    }
    if (result.damaged) result.keptAs = keepDamagedAside(path);
    return result;
}

QString keepDamagedAside(const QString& path) {
    QString base = path;
    if (base.endsWith(QStringLiteral(".json"))) base.chop(5);
    base += QStringLiteral(".damaged-") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString target = base + QStringLiteral(".json");
    struct stat st {};
    for (int n = 2; ::lstat(QFile::encodeName(target).constData(), &st) == 0; ++n) {
        if (n > 100) return {};
        target = base + QStringLiteral("-%1.json").arg(n);
    }
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) !=
        0)
        return {};
    return target;
}

QString keptListReport(const QString& path, const KeptClipList& kept, const QStringList& leftOut,
                       const QStringList& notAnswering) {
    QStringList parts;
    if (kept.unreadable)
        parts << QStringLiteral(
                     "The clip list kept from the last run (%1) could not be read (%2). The list "
                     "starts empty, and the kept file is left as it is: this run does not keep "
                     "the list.")
                     .arg(path, kept.reason);
    else if (kept.damaged && !kept.keptAs.isEmpty())
        parts << QStringLiteral(
                     "The clip list kept from the last run was damaged (%1). It was kept as %2; "
                     "the list starts with what could be read of it.")
                     .arg(kept.reason, kept.keptAs);
    else if (kept.damaged)
        parts << QStringLiteral(
                     "The clip list kept from the last run (%1) was damaged (%2) and could not "
                     "be put aside: this run does not keep the list, so that it stays as it is.")
                     .arg(path, kept.reason);
    if (!leftOut.isEmpty())
        parts << QStringLiteral(
                     "These clips of the last list no longer exist or can no longer be "
                     "measured, and were left out:\n") +
                     leftOut.join(QLatin1Char('\n'));
    if (!notAnswering.isEmpty())
        parts << QStringLiteral(
                     "These clips of the last list did not answer in time. They stay in the "
                     "list, marked as not answering; Join and Preview cannot use them until "
                     "they are added again:\n") +
                     notAnswering.join(QLatin1Char('\n'));
    return parts.join(QStringLiteral("\n\n"));
}
