// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/core/log.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace media {
namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

LogSink& currentSink() {
    static LogSink sink = [](LogLevel level, const std::string& message) {
        if (level == LogLevel::Error) std::fprintf(stderr, "clipfuse: %s\n", message.c_str());
    };
    return sink;
}

LogSink& librarySink() {
    static LogSink sink;
    return sink;
}

void ffmpegCallback(void* avcl, int level, const char* fmt, va_list args) {
    if (level > AV_LOG_INFO) return;
    {
        std::lock_guard lock(sinkMutex());
        if (!librarySink()) return;
    }
    char line[1024];
    int prefix = 1;
    av_log_format_line2(avcl, level, fmt, args, line, sizeof line, &prefix);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text.empty()) return;
    // FFmpeg calls this from its own threads.
    std::lock_guard lock(sinkMutex());
    const LogLevel ours = level <= AV_LOG_ERROR     ? LogLevel::Error
                          : level <= AV_LOG_WARNING ? LogLevel::Warning
                                                    : LogLevel::Info;
    if (librarySink()) librarySink()(ours, text);
}

}  // namespace

void setLogSink(LogSink sink) {
    std::lock_guard lock(sinkMutex());
    currentSink() = std::move(sink);
}

void log(LogLevel level, const std::string& message) {
    std::lock_guard lock(sinkMutex());
    if (currentSink()) currentSink()(level, message);
}

void setLibraryLogSink(LogSink sink) {
    installFfmpegLogRouting();
    std::lock_guard lock(sinkMutex());
    librarySink() = std::move(sink);
}

void installFfmpegLogRouting() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(ffmpegCallback); });
}

}  // namespace media
