// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

#include "media/core/frame_rate.h"
#include "media/core/ticks.h"

namespace media::render {

// The output frame grid of a video group: frame k is shown at k / rate, with the rate's
// exact fraction (exactFrameRate), rounded to the nearest tick; the group has a frame for
// every such time before the timeline's end. The writer stamps frame k with the same
// fraction, so the grid never drifts from the file's clock.
class FrameTimes {
public:
    explicit FrameTimes(double fps = 30.0);
    double fps() const { return rate_.value(); }
    FrameRate rate() const { return rate_; }
    Ticks at(std::int64_t k) const;
    // The first frame shown at or after t.
    std::int64_t firstAtOrAfter(Ticks t) const;
    std::int64_t countBefore(Ticks end) const { return firstAtOrAfter(end); }
    Ticks interval() const { return at(1); }

private:
    FrameRate rate_;
};

// Sample index of a time on a clock of `rate` samples per second, rounded to the nearest.
std::int64_t sampleAt(Ticks t, int rate);

}  // namespace media::render
