// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small INI reader and writer with the rules of the classic desktop INI reader: section
// and key names match without regard to case, values are trimmed and lose one pair of
// surrounding quotes, and the first match wins. Qt's own settings parser rewrites
// backslashes and commas, which paths and language files cannot afford.
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QByteArray>
#include <optional>
#include <vector>

namespace platform {

class IniDocument {
public:
    struct Value {
        QString text;         // trimmed, surrounding quotes removed
        bool quoted = false;  // the stored value stood between quotes
    };

    // Parses UTF-8 text (a leading byte-order mark is skipped). Never fails: lines that are
    // neither a section header, a comment nor "key=value" are ignored, so a damaged file
    // still yields whatever is readable in it.
    static IniDocument parse(const QByteArray& utf8);
    static IniDocument parse(QStringView text);

    // Keys that stand before the first section header belong to the section "".
    std::optional<Value> value(QStringView section, QStringView key) const;

    // Replaces the first matching key (keeping its spelling) or appends it to the section,
    // creating the section at the end when needed. `raw` is written exactly as given.
    void setRaw(QStringView section, QStringView key, const QString& raw);

    QStringList sectionNames() const;
    QStringList keyNames(QStringView section) const;

    QByteArray toUtf8() const;

private:
    struct Entry {
        QString key;
        QString raw;  // the value as it stands after '=', untrimmed
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };

    Section* findSection(QStringView name);
    const Section* findSection(QStringView name) const;

    std::vector<Section> sections_;
};

// The value rule on its own: trim, then remove one pair of matching surrounding quotes.
IniDocument::Value unquoteIniValue(QStringView raw);

}  // namespace platform
