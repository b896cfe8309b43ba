// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/effects/effect.h"

namespace media {

// Cross-dissolve: every pixel is (1 - p) * A + p * B.
class FadeEffect final : public TransitionEffect {
public:
    void render(const Frame& a, const Frame& b, double progress, Frame& out) const override;
};

}  // namespace media
