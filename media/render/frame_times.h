#pragma once
#include <cstdint>

#include "media/core/ticks.h"

namespace media::render {

// The output frame grid of a video group: frame k is shown at k / fps, rounded to the
// nearest tick, and the group has a frame for every such time before the timeline's end.
class FrameTimes {
public:
    explicit FrameTimes(double fps = 30.0) : fps_(fps) {}
    double fps() const { return fps_; }
    Ticks at(std::int64_t k) const;
    // The first frame shown at or after t.
    std::int64_t firstAtOrAfter(Ticks t) const;
    std::int64_t countBefore(Ticks end) const { return firstAtOrAfter(end); }
    Ticks interval() const { return static_cast<Ticks>(kTicksPerSecond / fps_); }

private:
    double fps_;
};

// Sample index of a time on a clock of `rate` samples per second, rounded to the nearest.
std::int64_t sampleAt(Ticks t, int rate);

}  // namespace media::render
