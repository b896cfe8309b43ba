// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "media/effects/mask_effect.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// B in a rectangle that grows from the top-left corner, keeping the picture's proportions.
class Inset final : public MaskEffect {
public:
    Inset() : MaskEffect({.softness = 0.01, .normalise = true}) {}

protected:
    SwitchTimeFn pattern(int w, int h) const override {
        return [w, h](double x, double y) { return std::max(x / w, y / h); };
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makeInset() {
    return std::make_unique<Inset>();
}

}  // namespace media::effects
