// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/compressor_answer_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cerrno>

extern "C" {
#include <libavutil/avutil.h>
}

#include "platform/atomic_file.h"

namespace output {
namespace {

constexpr int kFormatVersion = 1;
const char* const kProgramVersion = CLIPFUSE_PROGRAM_VERSION;

QString librariesVersion() {
    return QString::fromUtf8(av_version_info());
}

// The file's bytes when it is a regular file of a believable size. Opened without waiting, so
// a named pipe put in its place cannot stall the dialog.
std::optional<QByteArray> readSmallRegularFile(const QString& path, qint64 maxBytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= maxBytes) {
        QByteArray read;
        char buffer[64 * 1024];
        // The size is read again from what comes, not from what the file claims.
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                if (n == 0) bytes = read;
                break;
            }
            read.append(buffer, n);
            if (read.size() > maxBytes) break;
        }
    }
    ::close(fd);
    return bytes;
}

}  // namespace

QString compressorAnswersFileBeside(const QString& settingsPath) {
    QString base = settingsPath;
    if (base.endsWith(QStringLiteral(".ini"))) base.chop(4);
    return base + QStringLiteral(".compressors.json");
}

CompressorAnswerCache::CompressorAnswerCache(QString path) : path_(std::move(path)) {
    if (!path_.isEmpty()) load();
}

void CompressorAnswerCache::load() {
    const auto bytes = readSmallRegularFile(path_, kMaxFileBytes);
    if (!bytes) return;
    const QJsonObject root = QJsonDocument::fromJson(*bytes).object();
    if (root.value(QStringLiteral("format")).toInt() != kFormatVersion ||
        root.value(QStringLiteral("libraries")).toString() != librariesVersion() ||
        root.value(QStringLiteral("program")).toString() != QString::fromUtf8(kProgramVersion))
        return;
    for (const QJsonValue& v : root.value(QStringLiteral("answers")).toArray()) {
        const QJsonObject entry = v.toObject();
        const QJsonValue key = entry.value(QStringLiteral("key"));
        const QJsonValue refusal = entry.value(QStringLiteral("refusal"));
        if (!key.isString() || !refusal.isString()) continue;
        const std::string k = key.toString().toStdString();
        const std::string r = refusal.toString().toStdString();
        if (k.empty() || k.size() > kMaxKeyBytes || r.size() > kMaxAnswerBytes ||
            answers_.count(k) || answers_.size() >= kMaxAnswers)
            continue;
        answers_.emplace(k, r);
        order_.push_back(k);
    }
}

std::optional<std::string> CompressorAnswerCache::find(const std::string& key) const {
    const auto it = answers_.find(key);
    if (it == answers_.end()) return std::nullopt;
    return it->second;
}

void CompressorAnswerCache::remember(const std::string& key, const std::string& refusal) {
    if (path_.isEmpty() || key.empty() || key.size() > kMaxKeyBytes ||
        refusal.size() > kMaxAnswerBytes)
        return;
    auto [it, added] = answers_.insert_or_assign(key, refusal);
    (void)it;
    if (added) order_.push_back(key);
    while (answers_.size() > kMaxAnswers) {
        answers_.erase(order_.front());
        order_.pop_front();
    }
    changed_ = true;
}

QByteArray CompressorAnswerCache::serialized() const {
    QJsonArray entries;
    for (const std::string& key : order_)
        entries.append(
            QJsonObject{{QStringLiteral("key"), QString::fromStdString(key)},
                        {QStringLiteral("refusal"), QString::fromStdString(answers_.at(key))}});
    const QJsonObject root{{QStringLiteral("format"), kFormatVersion},
                           {QStringLiteral("libraries"), librariesVersion()},
                           {QStringLiteral("program"), QString::fromUtf8(kProgramVersion)},
                           {QStringLiteral("answers"), entries}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

bool CompressorAnswerCache::save() {
    if (!changed_) return true;
    QByteArray bytes = serialized();
    // A file the next start would not read is no use: the oldest answers make room.
    while (bytes.size() > kMaxFileBytes && !order_.empty()) {
        for (std::size_t n = std::max<std::size_t>(1, order_.size() / 4); n > 0; --n) {
            answers_.erase(order_.front());
            order_.pop_front();
        }
        bytes = serialized();
    }
    if (!platform::writeFileAtomically(QFile::encodeName(path_).toStdString(), bytes.toStdString()))
        return false;
    changed_ = false;
    return true;
}

}  // namespace output
