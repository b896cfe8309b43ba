#pragma once
#include <vector>

#include "media/core/frame.h"
#include "media/render/render_plan.h"

namespace media::render {

// What one track shows at an output time.
struct Layer {
    const Frame* picture = nullptr;            // the track's source at that time; null when none
    const TransitionPlan* transition = nullptr;  // the track's transition running at that time
    double progress = 0.0;
};

// Composites the layers, lowest first. Every picture covers the whole frame (a letterboxed
// picture's bars are black), so the result is the topmost layer that shows something,
// unless a transition runs on it: then the layers below are composited first and blended
// into it. Layers below the topmost opaque one are never touched. No layer gives `black`.
Frame composite(const std::vector<Layer>& layers, const Frame& black);

}  // namespace media::render
