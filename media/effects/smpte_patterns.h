// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The SMPTE standard wipe patterns (SMPTE 258M numbering), as switch-time fields.
#include <optional>
#include <vector>

#include "media/effects/threshold_map.h"

namespace media::effects {

inline constexpr int kDefaultSmptePattern = 1;  // the horizontal bar wipe, left to right

// True for every pattern number this program draws.
bool isKnownSmptePattern(int code);
std::vector<int> knownSmptePatterns();

// The field of pattern `code` for a picture of width x height, for use with normalisation
// (any scale, earliest point lowest). Unknown codes give the default pattern.
SwitchTimeFn smptePattern(int code, int width, int height);

}  // namespace media::effects
