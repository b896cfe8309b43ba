// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transition_assignment.h"

#include "timeline/transition_catalogue.h"

namespace {

constexpr int kTransitionCount = static_cast<int>(timeline::kTransitionEntries.size());
constexpr int kLastTransition = kTransitionCount - 1;

}  // namespace

std::int32_t sequenceTransitionIndex(int position) {
    if (position <= kLastTransition) return position < 0 ? 0 : position;
    // Taking 46 away again and again until 46 or less is left.
    return 1 + (position - 1) % kLastTransition;
}

TransitionChoice transitionForNewClip(const TransitionDefaults& defaults, int position,
                                      std::mt19937& random) {
    TransitionChoice choice;
    switch (defaults.mode) {
        case TransitionMode::Random:
            choice.index = static_cast<std::int32_t>(random() % kTransitionCount);
            break;
        case TransitionMode::Sequence:
            choice.index = sequenceTransitionIndex(position);
            break;
        case TransitionMode::Same:
            // The stored default is checked when it is read; a bad one still never indexes past the
            // table.
            choice.index = defaults.effectIndex >= 0 && defaults.effectIndex <= kLastTransition
                               ? defaults.effectIndex
                               : 0;
            break;
    }
    choice.duration = static_cast<media::Ticks>(defaults.durationSeconds) * media::kTicksPerSecond;
    return choice;
}
