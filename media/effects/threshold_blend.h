// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inner loop of every mask effect: one row of pixels blended by their thresholds.
#include <cstdint>

namespace media::effects {

// For each pixel x: d = clamp(front - threshold[x], 0, 2^softShift) is how far the moving
// front has passed it, the weight of B is d scaled to 0..256, and the output is the blend.
// front must lie in 0..32767 and softShift in 0..12. out may be a.
void blendByThreshold(const std::uint16_t* threshold, const std::uint8_t* a, const std::uint8_t* b,
                      std::uint8_t* out, int n, int front, int softShift);

}  // namespace media::effects
