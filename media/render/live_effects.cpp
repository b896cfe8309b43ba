// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/render/live_effects.h"

#include <algorithm>

namespace media::render {

LiveEffects::LiveEffects(const GroupPlan& group, int width, int height)
    : width_(width), height_(height) {
    for (std::size_t t = 0; t < group.tracks.size(); ++t)
        for (const TransitionPlan& x : group.tracks[t].transitions) byStart_.push_back({&x, t});
    std::stable_sort(byStart_.begin(), byStart_.end(), [](const Entry& a, const Entry& b) {
        return a.plan->start < b.plan->start;
    });
}

void LiveEffects::update(Ticks now, Ticks ahead) {
    std::erase_if(live_, [now](const Live& l) { return l.entry.plan->stop <= now; });
    for (; next_ < byStart_.size() && byStart_[next_].plan->start < ahead; ++next_) {
        const Entry& e = byStart_[next_];
        if (e.plan->stop <= now) continue;  // over before it was reached (a render started late)
        Live l{e, createEffect(e.plan->effect)};
        if (l.effect) l.effect->prepare(width_, height_);
        live_.push_back(std::move(l));
    }
}

const TransitionEffect* LiveEffects::at(std::size_t track, Ticks t, double& progress) const {
    for (const Live& l : live_) {
        const TransitionPlan& x = *l.entry.plan;
        if (l.entry.track == track && x.start <= t && t < x.stop) {
            progress = x.progressAt(t);
            return l.effect.get();
        }
    }
    return nullptr;
}

}  // namespace media::render
