// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/mask_effect.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// B comes in from the left behind an edge that blends over a quarter of the picture's width.
class Wipe final : public MaskEffect {
public:
    Wipe() : MaskEffect({.softness = 0.25, .normalise = true}) {}

protected:
    SwitchTimeFn pattern(int, int) const override {
        return [](double x, double) { return x; };
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makeWipe() {
    return std::make_unique<Wipe>();
}

}  // namespace media::effects
