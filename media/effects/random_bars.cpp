// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/mask_effect.h"
#include "media/effects/pattern_geometry.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// Thin horizontal bars turn to B one after another in a random order drawn from the seed.
// A bar is two rows high, so that each bar has chroma of its own.
class RandomBars final : public MaskEffect {
public:
    explicit RandomBars(std::uint32_t seed)
        : MaskEffect({.softness = 0.0, .normalise = false}), seed_(seed) {}

protected:
    SwitchTimeFn pattern(int, int) const override {
        return [seed = seed_](double, double y) {
            return randomAt(0x5eed, static_cast<std::uint32_t>(y / 2.0), seed);
        };
    }

private:
    std::uint32_t seed_;
};

}  // namespace

std::unique_ptr<TransitionEffect> makeRandomBars(std::uint32_t seed) {
    return std::make_unique<RandomBars>(seed);
}

}  // namespace media::effects
