#include "app/clip_list_file.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/clip_list.h"
#include "platform/atomic_file.h"
#include "platform/file_exists.h"

namespace {

constexpr int kFormatVersion = 1;
constexpr int kTransitionCount = 47;
// The list file of 1000 clips is far below this; anything larger is not ours.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

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

RestoredClipList restoreClipList(const QString& path, ClipList& clips) {
    RestoredClipList result;
    QFile file(path);
    if (!file.exists()) return result;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) {
        result.damaged = true;
        return result;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    const QJsonObject root = doc.object();
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        root.value(QStringLiteral("version")).toInt() != kFormatVersion ||
        !root.value(QStringLiteral("clips")).isArray()) {
        result.damaged = true;
        return result;
    }
    for (const QJsonValue& v : root.value(QStringLiteral("clips")).toArray()) {
        const QJsonObject e = v.toObject();
        const QString name = e.value(QStringLiteral("file")).toString();
        const int transition = e.value(QStringLiteral("transition")).toInt(-1);
        media::Ticks duration = 0, transitionDuration = 0;
        if (name.isEmpty() || transition < 0 || transition >= kTransitionCount ||
            !readTicks(e.value(QStringLiteral("duration")), duration) ||
            !readTicks(e.value(QStringLiteral("transitionDuration")), transitionDuration)) {
            result.damaged = true;
            continue;
        }
        if (!platform::fileExists(name.toStdString())) {
            result.missing.append(name);
            continue;
        }
        if (clips.append(name.toStdString(), duration, transition, transitionDuration) ==
            ClipListResult::Full)
            break;
    }
    clips.rebuildAudioSources();
    return result;
}

QString missingClipsText(const QStringList& missing) {
    if (missing.isEmpty()) return {};
    return QStringLiteral("These clips of the last list no longer exist and were left out:\n") +
           missing.join(QLatin1Char('\n'));
}
