// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's persistent settings: one INI file per application,
// $XDG_CONFIG_HOME (or ~/.config) /KORVANE/<application title>.ini, one INI section per
// settings section. Integers and texts are kept apart as the settings were designed: an
// integer is stored as "dword:xxxxxxxx" and a text always between quotes, so reading a
// text as an integer (or the reverse) gives the default, never a converted value.
//
// Every operation reads the file afresh and every write replaces it atomically. A missing,
// damaged or unreadable file yields the defaults; a write never replaces a file that
// exists but could not be read, so nothing stored is lost.
#include "ui/value_store.h"

#include <QString>
#include <cstdint>

class SettingsStore : public ui::ValueStore {
public:
    // `company` and `application` name the file, as the company key and the program's
    // title name the program's settings.
    SettingsStore(const QString& company, const QString& application);

    // The store of this program: company "KORVANE", the application title.
    static SettingsStore& program();

    // The folder the stores live in: $XDG_CONFIG_HOME, or ~/.config.
    static QString configRoot();

    const QString& filePath() const { return path_; }

    std::int32_t readInt(const QString& section, const QString& name, std::int32_t defaultValue) const override;
    QString readText(const QString& section, const QString& name, const QString& defaultValue) const override;

    // True when the value is stored. Callers ignore failures, as they always have; a text
    // holding a line break cannot be stored in a line-based file and is refused.
    bool writeInt(const QString& section, const QString& name, std::int32_t value) override;
    bool writeText(const QString& section, const QString& name, const QString& value) override;

    // True when the named value is present, of either kind.
    bool contains(const QString& section, const QString& name) const;

private:
    bool writeRaw(const QString& section, const QString& name, const QString& raw);

    QString path_;
};
