// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>

#include "media/effects/mask_effect.h"
#include "media/effects/pattern_geometry.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// Square cells fill from the left. Alternate cells fill in the first half, the others in
// the second, so that half-way through the picture is an exact checkerboard of A and B.
class CheckerBoard final : public MaskEffect {
public:
    static constexpr int kColumns = 8;
    CheckerBoard() : MaskEffect({.softness = 0.005, .normalise = false}) {}

protected:
    SwitchTimeFn pattern(int w, int) const override {
        const double cell = std::max(1.0, static_cast<double>(w) / kColumns);
        return [cell](double x, double y) {
            const double row = std::floor(y / cell);
            return fraction((x / cell + std::fmod(row, 2.0)) / 2.0);
        };
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makeCheckerBoard() {
    return std::make_unique<CheckerBoard>();
}

}  // namespace media::effects
