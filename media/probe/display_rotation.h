// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>

namespace media {

// Degrees clockwise that a picture must be turned to be shown upright, read from a
// display matrix as MP4 and Matroska files store it (nine 32-bit values, 16.16 and 2.30
// fixed point). Returns a whole angle in [0, 360); 0 for a missing, short or degenerate
// matrix, so that a damaged tag never turns a picture by a nonsense angle.
int rotationFromDisplayMatrix(const std::uint8_t* matrix, std::size_t size);

}  // namespace media
