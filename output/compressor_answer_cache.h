// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The answers of compressor trials kept between runs, in a file beside the settings, so the
// Options dialog shows them at once at the next start. The answers hold only for the
// libraries and the program that gave them: a file written by another version of either is
// not used. What the file holds is checked before it is believed; a file that is not ours
// (damaged, huge, not a regular file) is ignored and replaced at the next save.
#include <QByteArray>
#include <QString>
#include <deque>
#include <map>
#include <optional>
#include <string>

namespace output {

// ".../KORVANE/Clipfuse.ini" keeps its answers in ".../KORVANE/Clipfuse.compressors.json".
QString compressorAnswersFileBeside(const QString& settingsPath);

class CompressorAnswerCache {
public:
    // Reads the file at `path`; an empty path keeps nothing.
    explicit CompressorAnswerCache(QString path);

    // The kept answer for a trial key: empty when the compressor works, else its refusal.
    std::optional<std::string> find(const std::string& key) const;
    void remember(const std::string& key, const std::string& refusal);
    // Writes the file atomically when something new was remembered; false when it could not be
    // written (the answers are only an aid: nothing else is lost).
    bool save();

    // Bounds of what is believed and kept.
    static constexpr qint64 kMaxFileBytes = 2 * 1024 * 1024;
    static constexpr std::size_t kMaxAnswers = 4000;  // the oldest go first
    static constexpr std::size_t kMaxKeyBytes = 1024;
    static constexpr std::size_t kMaxAnswerBytes = 2048;

private:
    void load();
    QByteArray serialized() const;

    QString path_;
    std::map<std::string, std::string> answers_;
    std::deque<std::string> order_;  // keys, oldest first
    bool changed_ = false;
};

}  // namespace output
