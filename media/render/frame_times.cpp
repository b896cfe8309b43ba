// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/render/frame_times.h"

#include <cmath>

namespace media::render {
namespace {
__extension__ typedef __int128 Wide;  // k x den x 10^7 outgrows 64 bits in very long renders
}  // namespace

FrameTimes::FrameTimes(double fps) : rate_(exactFrameRate(fps)) {
    if (rate_.num <= 0) rate_ = {30, 1};  // a group without a usable rate renders at 30
}

Ticks FrameTimes::at(std::int64_t k) const {
    // k x den / num seconds, to the nearest tick, in exact integers.
    const Wide scaled = static_cast<Wide>(k) * rate_.den * kTicksPerSecond;
    const Wide half = rate_.num / 2;
    return static_cast<Ticks>(scaled >= 0 ? (scaled + half) / rate_.num : -((-scaled + half) / rate_.num));
}

std::int64_t FrameTimes::firstAtOrAfter(Ticks t) const {
    if (t <= 0) return 0;
    auto k = static_cast<std::int64_t>(
        std::floor(static_cast<double>(t) * rate_.num / (static_cast<double>(rate_.den) * kTicksPerSecond)));
    while (k > 0 && at(k - 1) >= t) --k;
    while (at(k) < t) ++k;
    return k;
}

std::int64_t sampleAt(Ticks t, int rate) {
    // Exact integer rounding: t * rate / 1e7 to the nearest sample.
    const std::int64_t num = t * rate;
    return num >= 0 ? (num + kTicksPerSecond / 2) / kTicksPerSecond
                    : -((-num + kTicksPerSecond / 2) / kTicksPerSecond);
}

}  // namespace media::render
