// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/cell_path.h"
#include "media/effects/mask_effect.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// A line of boxes drawn row by row, left to right and back again.
class ZigZag final : public MaskEffect {
public:
    static constexpr int kColumns = 10;
    ZigZag() : MaskEffect({.softness = 0.005, .normalise = false}) {}

protected:
    SwitchTimeFn pattern(int w, int h) const override {
        const CellGrid grid = gridFor(w, h, kColumns);
        return pathPattern(w, h, grid, snakePath(grid), true);
    }
};

}  // namespace

std::unique_ptr<TransitionEffect> makeZigZag() {
    return std::make_unique<ZigZag>();
}

}  // namespace media::effects
