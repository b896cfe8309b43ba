// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/mask_effect.h"
#include "media/effects/pattern_geometry.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// A clock hand pinned at the centre, starting at twelve and sweeping clockwise.
class RadialWipe final : public MaskEffect {
public:
    RadialWipe() : MaskEffect({.softness = 0.01, .normalise = false}) {}

protected:
    SwitchTimeFn pattern(int w, int h) const override {
        return [cx = w / 2.0, cy = h / 2.0](double x, double y) {
            return clockAngle(x - cx, y - cy) / (2.0 * kPi);
        };
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makeRadialWipe() {
    return std::make_unique<RadialWipe>();
}

}  // namespace media::effects
