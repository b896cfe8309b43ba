// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The effects of the transitions on screen around the current output time. An effect, with
// its masks, is made a little before its transition starts, so that a real-time render does
// not stall on it, and dropped as soon as the transition has ended: however many
// transitions a timeline holds, only the few near the current time take memory.
#include <memory>
#include <vector>

#include "media/effects/effect.h"
#include "media/render/render_plan.h"

namespace media::render {

class LiveEffects {
public:
    // The group's transitions; `width` x `height` is the size the effects are prepared for.
    LiveEffects(const GroupPlan& group, int width, int height);

    // Makes the effects of the transitions that start before `ahead` and have not ended at
    // `now`, and drops those that ended at or before `now`. Times only grow between calls.
    void update(Ticks now, Ticks ahead);
    // The effect of the transition running on `track` at t (made by update()), or null when
    // none runs or the engine lacks its effect; `progress` is then the transition's progress.
    const TransitionEffect* at(std::size_t track, Ticks t, double& progress) const;
    // How many effects exist now.
    std::size_t count() const { return live_.size(); }

private:
    struct Entry {
        const TransitionPlan* plan;
        std::size_t track;
    };
    struct Live {
        Entry entry;
        std::unique_ptr<TransitionEffect> effect;  // null: an effect the engine lacks
    };

    int width_, height_;
    std::vector<Entry> byStart_;  // every transition of the group, earliest start first
    std::size_t next_ = 0;        // the first of byStart_ not yet made
    std::vector<Live> live_;
};

}  // namespace media::render
