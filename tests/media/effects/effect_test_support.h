// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for the transition tests: every effect of the catalogue, and pixel comparison.
#include <string>
#include <vector>

#include "media/core/frame.h"
#include "media/effects/effect.h"

namespace effecttest {

struct NamedParams {
    std::string name;
    media::EffectParams params;
};

// Every transition of the catalogue (indices 1 to 46), named "index name".
std::vector<NamedParams> allTransitions(std::uint32_t seed = 7);

// True when the visible pixels of all three planes are equal.
bool samePixels(const media::Frame& x, const media::Frame& y);

// A frame of one solid luma and mid-grey chroma.
media::Frame solid(int width, int height, std::uint8_t luma);

}  // namespace effecttest
