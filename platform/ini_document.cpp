// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ini_document.h"

#include <QStringList>

namespace platform {

namespace {

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

IniDocument::Value unquoteIniValue(QStringView raw) {
    QStringView v = raw.trimmed();
    if (v.size() >= 2) {
        const QChar first = v.front();
        if ((first == u'"' || first == u'\'') && v.back() == first)
            return {v.mid(1, v.size() - 2).toString(), true};
    }
    return {v.toString(), false};
}

IniDocument IniDocument::parse(const QByteArray& utf8) {
    QByteArray bytes = utf8;
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    return parse(QString::fromUtf8(bytes));
}

IniDocument IniDocument::parse(QStringView text) {
    IniDocument doc;
    doc.sections_.push_back({QString(), {}});
    Section* current = &doc.sections_.front();
    for (QStringView line : text.split(u'\n')) {
        if (line.endsWith(u'\r')) line.chop(1);
        const QStringView t = line.trimmed();
        if (t.isEmpty() || t.front() == u';' || t.front() == u'#') continue;
        if (t.front() == u'[') {
            const qsizetype close = t.indexOf(u']');
            if (close < 0) continue;  // a broken header: its keys still land in the previous section
            const QStringView name = t.mid(1, close - 1).trimmed();
            Section* existing = doc.findSection(name);
            if (!existing) {
                doc.sections_.push_back({name.toString(), {}});
                existing = &doc.sections_.back();
            }
            current = existing;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        const QStringView key = line.left(eq).trimmed();
        if (key.isEmpty()) continue;
        current->entries.push_back({key.toString(), line.mid(eq + 1).toString()});
    }
    return doc;
}

IniDocument::Section* IniDocument::findSection(QStringView name) {
    for (Section& s : sections_)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

const IniDocument::Section* IniDocument::findSection(QStringView name) const {
    for (const Section& s : sections_)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

std::optional<IniDocument::Value> IniDocument::value(QStringView section, QStringView key) const {
    const Section* s = findSection(section);
    if (!s) return std::nullopt;
    for (const Entry& e : s->entries)
        if (sameName(e.key, key)) return unquoteIniValue(e.raw);
    return std::nullopt;
}

void IniDocument::setRaw(QStringView section, QStringView key, const QString& raw) {
    Section* s = findSection(section);
    if (!s) {
        sections_.push_back({section.toString(), {}});
        s = &sections_.back();
    }
    for (Entry& e : s->entries) {
        if (sameName(e.key, key)) {
            e.raw = raw;
            return;
        }
    }
    s->entries.push_back({key.toString(), raw});
}

QStringList IniDocument::sectionNames() const {
    QStringList names;
    for (const Section& s : sections_)
        if (!s.name.isEmpty()) names << s.name;
    return names;
}

QStringList IniDocument::keyNames(QStringView section) const {
    QStringList names;
    if (const Section* s = findSection(section))
        for (const Entry& e : s->entries) names << e.key;
    return names;
}

QByteArray IniDocument::toUtf8() const {
    QString out;
    for (const Section& s : sections_) {
        if (s.name.isEmpty() && s.entries.empty()) continue;
        if (!s.name.isEmpty()) {
            if (!out.isEmpty()) out += u'\n';
            out += QLatin1Char('[') + s.name + QLatin1String("]\n");
        }
        for (const Entry& e : s.entries) out += e.key + u'=' + e.raw + u'\n';
    }
    return out.toUtf8();
}

}  // namespace platform
