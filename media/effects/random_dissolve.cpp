// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "media/effects/mask_effect.h"
#include "media/effects/pattern_geometry.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// Every 2 x 2 block turns at its own moment, drawn from the transition's seed so that the
// same timeline always renders the same frames. A block is the area of one colour sample:
// its four brightness samples and its colour turn together, so no point ever shows the
// brightness of one clip with the colour of the other.
class RandomDissolve final : public MaskEffect {
public:
    explicit RandomDissolve(std::uint32_t seed)
        : MaskEffect({.softness = 0.0, .normalise = false}), seed_(seed) {}

protected:
    SwitchTimeFn pattern(int, int) const override {
        return [seed = seed_](double x, double y) {
            return randomAt(static_cast<std::uint32_t>(x / 2), static_cast<std::uint32_t>(y / 2), seed);
        };
    }

private:
    std::uint32_t seed_;
};

}  // namespace

std::unique_ptr<TransitionEffect> makeRandomDissolve(std::uint32_t seed) {
    return std::make_unique<RandomDissolve>(seed);
}

}  // namespace media::effects
