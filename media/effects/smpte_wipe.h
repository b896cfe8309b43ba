// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>
#include <optional>

#include "media/effects/effect.h"

namespace media::effects {

// The SMPTE wipe: B revealed through standard wipe pattern `maskNum` with a narrow soft
// edge. Without a pattern, or with one this program does not draw, it is the horizontal
// bar wipe, the pattern a wipe has by default.
std::unique_ptr<TransitionEffect> makeSmpteWipe(std::optional<int> maskNum);

}  // namespace media::effects
