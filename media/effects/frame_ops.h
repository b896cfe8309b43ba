// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small whole-frame operations the effects share.
#include <cstdint>

#include "media/core/frame.h"

namespace media::effects {

// True when a, b and out are non-empty pictures of one size; effects draw nothing otherwise,
// so a caller's mistake can never make them read or write outside a picture.
bool sameSize(const Frame& a, const Frame& b, const Frame& out);

// Copies the visible pixels of src into out (same size); nothing to do when they share pixels.
void copyPixels(const Frame& src, Frame& out);

// One row of a uniform cross-dissolve: weight 0 gives a, 256 gives b exactly.
void blendRow(const std::uint8_t* a, const std::uint8_t* b, int weight, std::uint8_t* out, int n);

inline std::uint8_t mix256(int a, int b, int weight) {
    return static_cast<std::uint8_t>((a * (256 - weight) + b * weight + 128) >> 8);
}

}  // namespace media::effects
