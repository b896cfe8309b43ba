// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transition a new clip receives from the TransitionDefaults: a random one, the next of
// the catalogue in turn, or always the same one, each with the default duration.
#include <cstdint>
#include <random>

#include "app/transition_defaults.h"
#include "media/core/ticks.h"

struct TransitionChoice {
    std::int32_t index = 0;  // 0..46
    media::Ticks duration = 0;
};

// The transition of the clip that is added at list position `position` (0 for the first).
// Random draws from `random`, which advances; the other modes leave it alone.
TransitionChoice transitionForNewClip(const TransitionDefaults& defaults, int position,
                                      std::mt19937& random);

// Sequence mode's index for a position: positions 0..46 map to themselves; later ones start
// again at 1, not 0, so that "None" is used only by the first clip: 47 gives 1, 92 gives 46,
// 93 gives 1.
std::int32_t sequenceTransitionIndex(int position);
