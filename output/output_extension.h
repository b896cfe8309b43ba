// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Output container codes and the extension each gives the output file.
#include <QString>
#include <optional>

namespace output {

enum OutputFormat : int { kAvi = 0, kWmv = 1, kMkv = 2, kAsf = 3, kMp4 = 4, kDsm = 5, kOgm = 6 };

// ".avi", ".wmv", ...; empty for a code outside 0..6.
QString outputFormatExtension(int code);

// The save dialog's filter of the format: its text, which ends in the pattern "*" and the
// extension ("Windows Media Video file (*.wmv)"); empty for a code outside 0..6.
QString outputFormatFilter(int code);

// The extension rule: the file name's extension (from its last ".", never in a folder
// name) is replaced by the code's extension, or the extension is appended when there is none.
// No value for a code outside 0..6.
std::optional<QString> withOutputExtension(int code, const QString& path);

}  // namespace output

// The extension rule as the dialogs and start-up use it: rewrites `path`, or shows
// "Does not support the video format" and leaves it unchanged. Returns true when applied.
bool ApplyOutputExtension(int code, QString& path);
