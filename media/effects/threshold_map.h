// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A mask effect's picture of "when": for every pixel, the moment at which it turns from A
// to B, as an integer 0..kScale. Built once per frame size; a frame at progress p is then
// one pass of compare and blend, and a pixel that shows B never turns back as p grows.
#include <cstdint>
#include <functional>
#include <vector>

#include "media/core/frame.h"

namespace media::effects {

// The moment at which the point (x, y) turns to B. Coordinates are in luma pixels, the
// centre of pixel (i, j) being (i + 0.5, j + 0.5).
using SwitchTimeFn = std::function<double(double x, double y)>;

class ThresholdMap {
public:
    static constexpr int kScale = 1 << 14;

    // Samples `pattern` at every luma pixel and at the centre of every chroma block.
    // With `normalise`, the values are stretched so that the earliest luma pixel turns at 0
    // and the latest at kScale; otherwise the pattern's values are taken as 0..1 already.
    ThresholdMap(int width, int height, const SwitchTimeFn& pattern, bool normalise);

    int width() const { return width_; }
    int height() const { return height_; }
    // The row of thresholds for plane p of a Frame (U and V share one map).
    const std::uint16_t* row(int p, int y) const {
        const int w = p == 0 ? width_ : (width_ + 1) / 2;
        return (p == 0 ? luma_ : chroma_).data() + static_cast<std::ptrdiff_t>(y) * w;
    }

    // Writes the blend of a and b at `progress` into out. `softness` is the share of the
    // transition over which one pixel crosses from A to B: 0 (at once) to 0.25, taken to the
    // nearest power of two of the threshold scale.
    void blend(const Frame& a, const Frame& b, double progress, double softness, Frame& out) const;

private:
    int width_;
    int height_;
    std::vector<std::uint16_t> luma_;
    std::vector<std::uint16_t> chroma_;
};

}  // namespace media::effects
