// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading one language file: its bytes turned into text by the rules below, then read as
// an INI file (sections and keys without regard to case, values trimmed and unquoted,
// the first match winning).
//
// The characters: UTF-16 when the file starts with its byte-order mark, UTF-8 with its
// mark or when the language's name says "_utf-8", otherwise the ANSI code page of the
// language. A file whose language has no code page is read as UTF-8 when it is valid
// UTF-8, else as code page 1252. Bytes that do not decode become the replacement
// character; nothing a file holds can stop the program.
#include <QByteArray>
#include <QString>

#include "platform/ini_document.h"

namespace ui {

// How the file's name says its text is stored; only Utf8 changes how it is read.
enum class EncodingKind { Ansi = 0, Unicode = 1, Utf8 = 2 };

// From the lower-cased name: "_utf-8" gives Utf8, else "_unicode" gives Unicode.
EncodingKind encodingKindOf(const QString& languageName);

// Larger files are not read at all: no language needs more, and the built-in texts stay.
inline constexpr qint64 kMaxLanguageFileBytes = 4 * 1024 * 1024;

// A value keeps at most this many bytes (in UTF-8), cut between characters.
inline constexpr int kMaxValueBytes = 2047;

// `ansiCodePage` 0: the language has none (or was not recognised).
QString decodeLanguageText(const QByteArray& bytes, EncodingKind kind, int ansiCodePage);

// The two-character sequences \t, \n and \r become a tab, a line feed and a carriage
// return, all of \t first, then \n, then \r. There is no escape for the backslash.
QString replaceEscapes(QString text);

// `text` cut to at most `maxBytes` bytes of UTF-8, never inside a character.
QString cutToUtf8Bytes(const QString& text, int maxBytes);

class LanguageFile {
public:
    // A missing, unreadable or oversized file reads as an empty one.
    static LanguageFile read(const QString& path, EncodingKind kind, int ansiCodePage);
    static LanguageFile fromText(const QString& text);

    // The value of `key` in `section`, cut and with its escapes replaced; empty when the
    // key is missing.
    QString value(const QString& section, const QString& key) const;

private:
    platform::IniDocument document_;
};

}  // namespace ui
