// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How long a clip is, from what its file says about itself.
#include <chrono>
#include <cstdint>
#include <optional>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/ticks.h"

namespace media {

// Longer than this is not a believable clip: a damaged or hostile header. The bound also
// keeps the sum of a full clip list far from overflowing the 64-bit tick count.
inline constexpr Ticks kMaxClipLength = 366LL * 24 * 3600 * kTicksPerSecond;

struct ClipLength {
    Ticks duration = 0;
    bool estimated = false;  // from file size and bit rate
};

// Bounds for reading the end of a file that states no length (a recording that was
// streamed to disk, such as a browser's WebM, often has none). The read starts with the
// last `firstWindowBytes` of the file and doubles the window up to `lastWindowBytes`.
struct TailReadLimits {
    std::int64_t firstWindowBytes = 128 * 1024;
    std::int64_t lastWindowBytes = 4 * 1024 * 1024;
    int maxPackets = 50'000;
    std::chrono::milliseconds timeout{2'000};
};

// In order: the container's duration; the longest picture or sound stream's duration; the
// end of the last packets in the file, read from a bounded window at its end; the estimate
// from the bit rate. Nothing when none of these gives a length in (0, kMaxClipLength].
// A file cut short (an interrupted download or copy) keeps the full length in its header:
// where the file's index or its last packets show the data ending earlier, the length ends
// there. May move the read position of `input`.
std::optional<ClipLength> measureClipLength(AVFormatContext* input,
                                            const TailReadLimits& limits = {});

// The container's first timestamp in ticks, 0 when it has none.
Ticks clipStartTime(const AVFormatContext* input);

}  // namespace media
