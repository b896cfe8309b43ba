// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/mask_effect.h"
#include "media/effects/pattern_geometry.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// Four spokes from the centre turn clockwise together, each opening a quarter of the picture.
class Wheel final : public MaskEffect {
public:
    static constexpr int kSpokes = 4;
    Wheel() : MaskEffect({.softness = 0.02, .normalise = false}) {}

protected:
    SwitchTimeFn pattern(int w, int h) const override {
        return [cx = w / 2.0, cy = h / 2.0](double x, double y) {
            return fraction(clockAngle(x - cx, y - cy) * kSpokes / (2.0 * kPi));
        };
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makeWheel() {
    return std::make_unique<Wheel>();
}

}  // namespace media::effects
