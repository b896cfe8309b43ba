// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <vector>

namespace testmedia {

// Strength of a tone in a window of samples (Goertzel), relative to the window's energy:
// near 1 for a pure tone of `hz`, near 0 for silence or another tone.
double toneShare(const std::vector<float>& samples, std::size_t first, std::size_t count, double hz,
                 int rate);

}  // namespace testmedia
