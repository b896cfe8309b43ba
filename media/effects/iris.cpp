// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>

#include "media/effects/mask_effect.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// A plus whose arms grow twice as fast in length as in thickness: at half time the arms
// reach the edges, at the end they fill the corners.
class Iris final : public MaskEffect {
public:
    Iris() : MaskEffect({.softness = 0.03, .normalise = true}) {}

protected:
    SwitchTimeFn pattern(int w, int h) const override {
        return [w, h](double x, double y) {
            const double u = std::abs(2.0 * x / w - 1.0), v = std::abs(2.0 * y / h - 1.0);
            return std::max(std::max(u, v) / 2.0, std::min(u, v));
        };
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makeIris() {
    return std::make_unique<Iris>();
}

}  // namespace media::effects
