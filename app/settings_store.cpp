// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_store.h"

#include "platform/application_title.h"
#include "platform/atomic_file.h"
#include "platform/ini_document.h"

#include <QDir>
#include <QFile>

#include <optional>

namespace {

constexpr QStringView kIntegerPrefix = u"dword:";

enum class ReadResult { Missing, Read, Unreadable };

// Reads the whole store file; a missing file is an empty store.
ReadResult readFile(const QString& path, QByteArray* bytes) {
    QFile file(path);
    if (!file.exists()) return ReadResult::Missing;
    if (!file.open(QIODevice::ReadOnly)) return ReadResult::Unreadable;
    // A settings file is a few hundred bytes; anything far larger is not ours to parse.
    constexpr qint64 kMaxSize = 4 * 1024 * 1024;
    if (file.size() > kMaxSize) return ReadResult::Unreadable;
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return ReadResult::Unreadable;
    return ReadResult::Read;
}

std::optional<platform::IniDocument::Value> lookup(const QString& path, const QString& section,
                                                   const QString& name) {
    QByteArray bytes;
    if (readFile(path, &bytes) != ReadResult::Read) return std::nullopt;
    return platform::IniDocument::parse(bytes).value(section, name);
}

std::optional<std::int32_t> parseInteger(const platform::IniDocument::Value& v) {
    if (v.quoted || !v.text.startsWith(kIntegerPrefix, Qt::CaseInsensitive)) return std::nullopt;
    const QStringView digits = QStringView(v.text).mid(kIntegerPrefix.size());
    if (digits.isEmpty() || digits.size() > 8) return std::nullopt;
    bool ok = false;
    const uint bits = digits.toUInt(&ok, 16);
    if (!ok) return std::nullopt;
    return static_cast<std::int32_t>(bits);  // stored as 4 bytes, read back signed
}

}  // namespace

SettingsStore::SettingsStore(const QString& company, const QString& application)
    : path_(configRoot() + u'/' + company + u'/' + application + QStringLiteral(".ini")) {}

SettingsStore& SettingsStore::program() {
    static SettingsStore store(QStringLiteral("KORVANE"), platform::applicationTitle());
    return store;
}

QString SettingsStore::configRoot() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The XDG rules ignore a relative value.
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg);
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.config"));
}

std::int32_t SettingsStore::readInt(const QString& section, const QString& name,
                                    std::int32_t defaultValue) const {
    const auto v = lookup(path_, section, name);
    if (!v) return defaultValue;
    return parseInteger(*v).value_or(defaultValue);
}

QString SettingsStore::readText(const QString& section, const QString& name,
                                const QString& defaultValue) const {
    const auto v = lookup(path_, section, name);
    if (!v || parseInteger(*v)) return defaultValue;
    return v->text;
}

bool SettingsStore::contains(const QString& section, const QString& name) const {
    return lookup(path_, section, name).has_value();
}

bool SettingsStore::writeInt(const QString& section, const QString& name, std::int32_t value) {
    return writeRaw(section, name,
                    kIntegerPrefix.toString() + QString::number(static_cast<std::uint32_t>(value), 16)
                                         .rightJustified(8, u'0'));
}

bool SettingsStore::writeText(const QString& section, const QString& name, const QString& value) {
    if (value.contains(u'\n') || value.contains(u'\r') || value.contains(QChar(0))) return false;
    // Always quoted: keeps surrounding blanks and tells a text "dword:1" from an integer.
    return writeRaw(section, name, u'"' + value + u'"');
}

bool SettingsStore::writeRaw(const QString& section, const QString& name, const QString& raw) {
    if (section.contains(u']') || name.contains(u'=') || name.trimmed().isEmpty() ||
        name.trimmed() != name || section.contains(u'\n') || name.contains(u'\n'))
        return false;
    QByteArray bytes;
    const ReadResult read = readFile(path_, &bytes);
    if (read == ReadResult::Unreadable) return false;  // replacing it would lose what it holds
    platform::IniDocument doc = platform::IniDocument::parse(bytes);
    doc.setRaw(section, name, raw);
    const QByteArray out = doc.toUtf8();
    return platform::writeFileAtomically(QFile::encodeName(path_).toStdString(), out.toStdString());
}
