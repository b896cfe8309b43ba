// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "media/effects/mask_effect.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// Horizontal strips, each wiping from right to left and each starting a little after the
// one above it, so that the edge is a staircase moving from the top right to the bottom left.
class Strips final : public MaskEffect {
public:
    static constexpr int kStrips = 8;
    Strips() : MaskEffect({.softness = 0.02, .normalise = true}) {}

protected:
    SwitchTimeFn pattern(int w, int h) const override {
        return [w, h](double x, double y) {
            const double strip = std::floor(y * kStrips / h);
            return (1.0 - x / w) + strip / kStrips;
        };
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makeStrips() {
    return std::make_unique<Strips>();
}

}  // namespace media::effects
