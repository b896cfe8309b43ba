// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The base of every effect that reveals B through a moving shape: wipes, irises, bars,
// boxes and dissolves. A subclass describes its pattern for a frame size; the base builds
// the threshold map once per size and blends each frame from it.
#include <memory>
#include <mutex>
#include <vector>

#include "media/effects/effect.h"
#include "media/effects/threshold_map.h"

namespace media::effects {

struct MaskStyle {
    double softness = 0.02;  // share of the transition one pixel takes to cross over
    bool normalise = true;   // stretch the pattern's values so it starts at 0 and ends at 1
};

class MaskEffect : public TransitionEffect {
public:
    explicit MaskEffect(MaskStyle style) : style_(style) {}
    void render(const Frame& a, const Frame& b, double progress, Frame& out) const final;
    void prepare(int width, int height) const final;

    // The map for one frame size, built on first use and then shared read-only. Safe to
    // call from several threads.
    std::shared_ptr<const ThresholdMap> mapFor(int width, int height) const;

protected:
    virtual SwitchTimeFn pattern(int width, int height) const = 0;

private:
    static constexpr std::size_t kCachedSizes = 4;  // preview and output sizes, with room to spare

    MaskStyle style_;
    mutable std::mutex mutex_;
    mutable std::vector<std::shared_ptr<const ThresholdMap>> maps_;  // most recently used last
};

}  // namespace media::effects
