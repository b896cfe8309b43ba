// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the Transition command does to the clips already in the list when the defaults
// change: when it asks, and how each mode re-assigns the clips' transitions.
#include <random>

#include "app/transition_defaults.h"

class ClipList;

// True when the user is to be asked whether to refresh the clips: the list has clips and
// the mode changed, or the mode is Same and its effect changed, or the duration changed.
bool refreshQuestionNeeded(const TransitionDefaults& before, const TransitionDefaults& after,
                           bool listEmpty);


// Re-assigns every clip by the new defaults, `previousMode` being the mode before the
// change: Random draws from `random` only when the mode was not Random already (a clip
// keeps its effect otherwise), Sequence numbers the positions, Same gives the new effect;
// every clip gets the new duration.
void refreshClipTransitions(ClipList& clips, TransitionMode previousMode,
                            const TransitionDefaults& after, std::mt19937& random);
