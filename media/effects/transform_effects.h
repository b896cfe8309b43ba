// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The image-transform transitions, one per file. Each reveals B (the clip) over A (the
// layers below) as its name says; see docs/help/transitions.html for how each one looks.
#include <cstdint>
#include <memory>

#include "media/effects/effect.h"

namespace media::effects {

std::unique_ptr<TransitionEffect> makeIris();        // a plus shape opening from the centre
std::unique_ptr<TransitionEffect> makeRadialWipe();  // a clock hand sweeping from twelve
std::unique_ptr<TransitionEffect> makeZigZag();      // boxes filled row by row, turning at each end
std::unique_ptr<TransitionEffect> makeRandomBars(
    std::uint32_t seed);                           // horizontal bars in random order
std::unique_ptr<TransitionEffect> makeSpiral();    // boxes filled spiralling in from the edge
std::unique_ptr<TransitionEffect> makePixelate();  // blocks grow on A, then shrink on B
std::unique_ptr<TransitionEffect> makeWheel();     // four spokes turning clockwise
std::unique_ptr<TransitionEffect> makeStrips();    // staircase of strips from the top right
std::unique_ptr<TransitionEffect> makeInset();     // a rectangle growing from the top-left corner
std::unique_ptr<TransitionEffect> makeBlinds();    // venetian blinds closing downwards
std::unique_ptr<TransitionEffect> makeWipe();      // a soft edge from left to right
std::unique_ptr<TransitionEffect> makeCheckerBoard();  // squares filling in two checker phases
std::unique_ptr<TransitionEffect> makeSlide();         // B slides in from the left over A
std::unique_ptr<TransitionEffect> makeStretch();       // B stretched out from the centre line
std::unique_ptr<TransitionEffect> makeRandomDissolve(std::uint32_t seed);  // pixels turn at random

}  // namespace media::effects
