// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where each clip, transition and piece of sound lies on the joined video's time axis.
// Pure arithmetic on 100-ns ticks, the same for Join and Preview.
#include <cstdint>
#include <vector>

namespace timeline {

using Ticks = std::int64_t;

struct ClipTiming {
    Ticks duration = 0;            // D[i]
    Ticks transitionDuration = 0;  // T[i]: how long the transition into this clip lasts
    int transitionIndex = 0;       // X[i]: 0 means none
};

struct ClipPlacement {
    Ticks start = 0;
    Ticks stop = 0;
    // The clip's span is shorter than its transition: it keeps its place and gets no
    // transition, and the user is told so.
    bool transitionTooLong = false;
    // The transition's span, valid when hasTransition().
    Ticks transitionStart = 0;
    Ticks transitionStop = 0;
    int transitionIndex = 0;
    bool hasTransition() const {
        return !transitionTooLong && transitionIndex != 0 && transitionStop > transitionStart;
    }
};

struct AudioPlacement {
    int entry = 0;  // index into the audio list
    Ticks start = 0;
    Ticks stop = 0;
};

struct Placement {
    Ticks length = 0;  // L, the sum of the clip durations
    std::vector<ClipPlacement> clips;
    std::vector<AudioPlacement> audio;
};

// Clip i's picture and its sound both start at S[i] = D[0] + ... + D[i-1], so they stay in
// step. Its transition plays on [S[i], S[i] + T[i]), over the end of clip i-1, whose picture
// therefore runs on under it until S[i] + T[i]; the last clip ends at L, and nothing passes
// L. A source asked to play past the end of its file holds its last picture.
// The audio list is laid end to end from 0, from its first entry again when it runs out,
// until L is covered.
Placement placeClips(const std::vector<ClipTiming>& clips,
                     const std::vector<Ticks>& audioDurations);

}  // namespace timeline
