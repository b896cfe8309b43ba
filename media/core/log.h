// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>

namespace media {

enum class LogLevel { Debug, Info, Warning, Error };

// The engine's own notes go through one sink, so the program decides what reaches the
// terminal. By default only errors are printed to stderr.
using LogSink = std::function<void(LogLevel, const std::string&)>;

void setLogSink(LogSink sink);
void log(LogLevel level, const std::string& message);

// FFmpeg's own lines ("[aac @ 0x...] Qavg: ...") are the library's business, not the user's:
// they go to this sink, which by default drops them; a program that is asked for them
// (a verbose command line) sets one that prints them. Its notes, warnings and errors; not
// its debugging output.
void setLibraryLogSink(LogSink sink);

// Takes FFmpeg's log output over. Every place of the engine that opens a file or a codec
// calls it first, so no line reaches FFmpeg's default printer; safe to call any number of
// times from any thread.
void installFfmpegLogRouting();

}  // namespace media
