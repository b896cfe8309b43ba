// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <vector>

#include "media/core/frame.h"
#include "media/effects/effect.h"

namespace media::render {

// What one track shows at an output time.
struct Layer {
    const Frame* picture = nullptr;  // the track's source at that time; null when none
    // The effect of the track's transition running at that time; null when none runs, or
    // when the engine lacks its effect (then the clip comes in as a cut).
    const TransitionEffect* transition = nullptr;
    double progress = 0.0;
};

// Composites the layers, lowest first. Every picture covers the whole frame (a letterboxed
// picture's bars are black), so the result is the topmost layer that shows something,
// unless a transition runs on it: then the layers below are composited first and blended
// into it. Layers below the topmost opaque one are never touched. No layer gives `black`.
Frame composite(const std::vector<Layer>& layers, const Frame& black);

}  // namespace media::render
