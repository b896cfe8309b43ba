#include <cmath>

#include "media/effects/mask_effect.h"
#include "media/effects/pattern_geometry.h"
#include "media/effects/transform_effects.h"

namespace media::effects {
namespace {

// Every pixel turns at its own moment, drawn from the transition's seed so that the same
// timeline always renders the same frames.
class RandomDissolve final : public MaskEffect {
public:
    explicit RandomDissolve(std::uint32_t seed)
        : MaskEffect({.softness = 0.0, .normalise = false}), seed_(seed) {}

protected:
    SwitchTimeFn pattern(int, int) const override {
        return [seed = seed_](double x, double y) {
            return randomAt(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), seed);
        };
    }

private:
    std::uint32_t seed_;
};

}  // namespace

std::unique_ptr<TransitionEffect> makeRandomDissolve(std::uint32_t seed) {
    return std::make_unique<RandomDissolve>(seed);
}

}  // namespace media::effects
