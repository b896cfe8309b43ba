#pragma once
#include <functional>
#include <string>

namespace media {

enum class LogLevel { Debug, Info, Warning, Error };

// All of FFmpeg's log output and the engine's own notes go through one sink, so the
// program decides what reaches the terminal. By default only errors are printed to stderr.
using LogSink = std::function<void(LogLevel, const std::string&)>;

void setLogSink(LogSink sink);
void log(LogLevel level, const std::string& message);

// Routes FFmpeg's av_log into the sink. Safe to call more than once.
void installFfmpegLogRouting();

}  // namespace media
