// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The render engine's own copy of a timeline, taken when a front end is connected: the
// program may change or release its timeline while the engine renders from this.
#include <memory>
#include <string>
#include <vector>

#include "media/core/status.h"
#include "media/effects/effect.h"
#include "media/timeline/timeline.h"

namespace media::render {

struct SourcePlan {
    std::string path;
    Ticks start = 0, stop = 0;
    Ticks mediaStart = 0, mediaStop = 0;
    StretchMode stretch = StretchMode::Stretch;
    // The media time shown at timeline time t.
    Ticks mediaTimeAt(Ticks t) const;
};

// A transition names its effect; the effect itself, with its masks, is made by the render
// only while the transition is on screen, so memory does not grow with their number.
struct TransitionPlan {
    Ticks start = 0, stop = 0;
    EffectParams effect;
    double progressAt(Ticks t) const;
};

struct TrackPlan {
    std::vector<SourcePlan> sources;          // in time order, not overlapping
    std::vector<TransitionPlan> transitions;  // in time order, not overlapping
};

struct GroupPlan {
    GroupMediaType type;
    double fps = 30.0;
    bool previewMode = true;
    std::vector<TrackPlan> tracks;  // lowest layer first
};

struct RenderPlan {
    Ticks length = 0;
    std::vector<GroupPlan> groups;
};

// Copies the timeline. A video group of size 0 x 0 takes the size of the picture of its
// earliest source (or 640 x 480 when that cannot be read; the render then names the file).
Status makeRenderPlan(const Timeline& timeline, RenderPlan& out);

}  // namespace media::render
