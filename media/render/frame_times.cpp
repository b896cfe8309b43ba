#include "media/render/frame_times.h"

#include <cmath>

namespace media::render {

Ticks FrameTimes::at(std::int64_t k) const {
    return static_cast<Ticks>(std::llround(static_cast<double>(k) * kTicksPerSecond / fps_));
}

std::int64_t FrameTimes::firstAtOrAfter(Ticks t) const {
    if (t <= 0) return 0;
    auto k = static_cast<std::int64_t>(std::floor(static_cast<double>(t) * fps_ / kTicksPerSecond));
    while (k > 0 && at(k - 1) >= t) --k;
    while (at(k) < t) ++k;
    return k;
}

std::int64_t sampleAt(Ticks t, int rate) {
    // Exact integer rounding: t * rate / 1e7 to the nearest sample.
    const std::int64_t num = t * rate;
    return num >= 0 ? (num + kTicksPerSecond / 2) / kTicksPerSecond : -((-num + kTicksPerSecond / 2) / kTicksPerSecond);
}

}  // namespace media::render
