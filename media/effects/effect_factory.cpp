// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cctype>
#include <string_view>

#include "media/effects/effect.h"
#include "media/effects/effect_classes.h"
#include "media/effects/fade.h"
#include "media/effects/smpte_wipe.h"
#include "media/effects/transform_effects.h"

namespace media {
namespace {

// Class identifiers are compared as the platform compares them: without regard to case.
bool sameId(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::unique_ptr<TransitionEffect> createEffect(const EffectParams& params) {
    using namespace effects;
    const std::string_view id = params.classId;
    if (sameId(id, classid::kSmpteWipe)) return makeSmpteWipe(params.maskNum);
    if (sameId(id, classid::kFade)) return std::make_unique<FadeEffect>();
    if (sameId(id, classid::kIris)) return makeIris();
    if (sameId(id, classid::kRadialWipe)) return makeRadialWipe();
    if (sameId(id, classid::kZigZag)) return makeZigZag();
    if (sameId(id, classid::kRandomBars)) return makeRandomBars(params.seed);
    if (sameId(id, classid::kSpiral)) return makeSpiral();
    if (sameId(id, classid::kPixelate)) return makePixelate();
    if (sameId(id, classid::kWheel)) return makeWheel();
    if (sameId(id, classid::kStrips)) return makeStrips();
    if (sameId(id, classid::kInset)) return makeInset();
    if (sameId(id, classid::kBlinds)) return makeBlinds();
    if (sameId(id, classid::kWipe)) return makeWipe();
    if (sameId(id, classid::kCheckerBoard)) return makeCheckerBoard();
    if (sameId(id, classid::kSlide)) return makeSlide();
    if (sameId(id, classid::kStretch)) return makeStretch();
    if (sameId(id, classid::kRandomDissolve)) return makeRandomDissolve(params.seed);
    return nullptr;
}

}  // namespace media
