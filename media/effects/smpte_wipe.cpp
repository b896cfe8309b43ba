// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/smpte_wipe.h"

#include "media/effects/mask_effect.h"
#include "media/effects/smpte_patterns.h"

namespace media::effects {
namespace {

class SmpteWipe final : public MaskEffect {
public:
    explicit SmpteWipe(int code)
        : MaskEffect({.softness = 0.006, .normalise = true}), code_(code) {}

protected:
    SwitchTimeFn pattern(int w, int h) const override { return smptePattern(code_, w, h); }

private:
    int code_;
};

}  // namespace

std::unique_ptr<TransitionEffect> makeSmpteWipe(std::optional<int> maskNum) {
    const int code = maskNum && isKnownSmptePattern(*maskNum) ? *maskNum : kDefaultSmptePattern;
    return std::make_unique<SmpteWipe>(code);
}

}  // namespace media::effects
