// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transition_refresh.h"

#include "app/clip_list.h"
#include "app/transition_assignment.h"
#include "timeline/transition_catalogue.h"

bool refreshQuestionNeeded(const TransitionDefaults& before, const TransitionDefaults& after,
                           bool listEmpty) {
    if (listEmpty) return false;
    const bool modeChanged = before.mode != after.mode;
    const bool sameEffectChanged =
        after.mode == TransitionMode::Same && before.effectIndex != after.effectIndex;
    const bool durationChanged = before.durationSeconds != after.durationSeconds;
    return modeChanged || sameEffectChanged || durationChanged;
}

void refreshClipTransitions(ClipList& clips, TransitionMode previousMode,
                            const TransitionDefaults& after, std::mt19937& random) {
    const media::Ticks duration =
        static_cast<media::Ticks>(after.durationSeconds) * media::kTicksPerSecond;
    for (int i = 0; i < clips.count(); ++i) {
        ClipItem& clip = clips.at(i);
        switch (after.mode) {
            case TransitionMode::Random:
                if (previousMode != TransitionMode::Random)
                    clip.transitionIndex =
                        static_cast<int>(random() % timeline::TransitionCatalogue::kCount);
                break;
            case TransitionMode::Sequence:
                clip.transitionIndex = sequenceTransitionIndex(i);
                break;
            case TransitionMode::Same:
                clip.transitionIndex = after.effectIndex;
                break;
        }
        clip.transitionDuration = duration;
    }
}
