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

void ffmpegCallback(void* avcl, int level, const char* fmt, va_list args) {
    if (level > AV_LOG_WARNING) return;
    char line[1024];
    int prefix = 1;
    av_log_format_line2(avcl, level, fmt, args, line, sizeof line, &prefix);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text.empty()) return;
    // FFmpeg calls this from its own threads.
    log(level <= AV_LOG_ERROR ? LogLevel::Warning : LogLevel::Debug, text);
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

void installFfmpegLogRouting() { av_log_set_callback(ffmpegCallback); }

}  // namespace media
