// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/language_file.h"

#include <QFile>
#include <QStringDecoder>

namespace ui {

namespace {

QString decodeWith(QStringDecoder decoder, QByteArrayView bytes) {
    return decoder.decode(bytes);
}

bool isValidUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

}  // namespace

EncodingKind encodingKindOf(const QString& languageName) {
    const QString lower = languageName.toLower();
    if (lower.contains(QLatin1String("_utf-8"))) return EncodingKind::Utf8;
    if (lower.contains(QLatin1String("_unicode"))) return EncodingKind::Unicode;
    return EncodingKind::Ansi;
}

QString decodeLanguageText(const QByteArray& bytes, EncodingKind kind, int ansiCodePage) {
    const QByteArrayView all(bytes);
    if (all.startsWith("\xFF\xFE"))
        return decodeWith(QStringDecoder(QStringDecoder::Utf16LE), all.sliced(2));
    if (all.startsWith("\xFE\xFF"))
        return decodeWith(QStringDecoder(QStringDecoder::Utf16BE), all.sliced(2));
    if (all.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringDecoder(QStringDecoder::Utf8), all.sliced(3));
    if (kind == EncodingKind::Utf8) return decodeWith(QStringDecoder(QStringDecoder::Utf8), all);
    if (ansiCodePage > 0) {
        QStringDecoder codePage(
            QByteArray("windows-" + QByteArray::number(ansiCodePage)).constData());
        if (codePage.isValid()) return decodeWith(std::move(codePage), all);
    }
    if (isValidUtf8(all)) return decodeWith(QStringDecoder(QStringDecoder::Utf8), all);
    return decodeWith(QStringDecoder("windows-1252"), all);
}

QString replaceEscapes(QString text) {
    static const struct {
        QLatin1String sequence;
        QChar control;
    } kEscapes[] = {{QLatin1String("\\t"), u'\t'},
                    {QLatin1String("\\n"), u'\n'},
                    {QLatin1String("\\r"), u'\r'}};
    for (const auto& escape : kEscapes) text.replace(escape.sequence, QString(escape.control));
    return text;
}

QString cutToUtf8Bytes(const QString& text, int maxBytes) {
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const char32_t c = text.at(i).unicode();
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const int size = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (bytes + size > maxBytes) break;
        bytes += size;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

LanguageFile LanguageFile::read(const QString& path, EncodingKind kind, int ansiCodePage) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxLanguageFileBytes)
        return fromText(QString());
    // Read no more than the limit even when the file grows while it is read.
    return fromText(decodeLanguageText(file.read(kMaxLanguageFileBytes), kind, ansiCodePage));
}

LanguageFile LanguageFile::fromText(const QString& text) {
    LanguageFile file;
    file.document_ = platform::IniDocument::parse(QStringView(text));
    return file;
}

QString LanguageFile::value(const QString& section, const QString& key) const {
    const std::optional<platform::IniDocument::Value> found = document_.value(section, key);
    if (!found) return QString();
    return replaceEscapes(cutToUtf8Bytes(found->text, kMaxValueBytes));
}

}  // namespace ui
