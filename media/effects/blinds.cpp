// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/mask_effect.h"
#include "media/effects/pattern_geometry.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// Ten horizontal slats; B grows down from the top of each one.
class Blinds final : public MaskEffect {
public:
    static constexpr int kSlats = 10;
    Blinds() : MaskEffect({.softness = 0.02, .normalise = false}) {}

protected:
    SwitchTimeFn pattern(int, int h) const override {
        return [h](double, double y) { return fraction(y * kSlats / h); };
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makeBlinds() {
    return std::make_unique<Blinds>();
}

}  // namespace media::effects
