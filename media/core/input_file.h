#pragma once
#include <chrono>
#include <string>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/status.h"

namespace media {

// Limits for opening a file that a user chose: any clip may be broken or hostile.
struct InputLimits {
    std::int64_t probeSizeBytes = 5 * 1024 * 1024;
    std::int64_t analyzeDurationMicros = 5'000'000;
    std::chrono::milliseconds openTimeout{10'000};  // opening and stream analysis together
    int maxWidth = 16384;
    int maxHeight = 16384;
    // Width times height: decoders refuse larger pictures already while the streams are
    // analysed, so a forged header cannot make them allocate gigabytes.
    std::int64_t maxPixels = 8192LL * 8192;
};

// Opens a local file for demuxing. Only the file itself is read: no network protocol, no
// other file that a playlist, reference or concat container might name. Fails with a
// status whose text says why (missing, unreadable, not a media file, too slow to analyse).
Status openInputFile(const std::string& path, av::InputPtr& out, const InputLimits& limits = {});

}  // namespace media
