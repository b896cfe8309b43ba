// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "media/core/frame.h"

namespace media {

// A picture transition from A (the layers below a track) to B (the track's clip).
// One object serves one transition on the timeline; the compositor may call render()
// from several threads at once, so render() must not change shared state unsafely.
// Effects that need a mask or a table build it once per frame size, not per frame.
class TransitionEffect {
public:
    virtual ~TransitionEffect() = default;

    // Writes the blend of a and b at `progress` (0 shows A, 1 shows B) into out.
    // a, b and out have the same size (otherwise out is left as it is); out may share its
    // pixels with a, never with b. Progress outside 0..1 counts as 0 or 1.
    virtual void render(const Frame& a, const Frame& b, double progress, Frame& out) const = 0;

    // Does the once-per-size work (a mask, a table) ahead of the first frame, so that a
    // real-time preview does not stall on it. Optional: render() does it when needed.
    virtual void prepare(int width, int height) const {
        (void)width;
        (void)height;
    }
};

// Parameters of one transition: the effect's class identifier (as the transition catalogue
// names it, braces included), the wipe pattern when one is set, and a seed for effects that
// draw at random, so that a render of the same timeline is repeatable.
struct EffectParams {
    std::string classId;
    std::optional<int> maskNum;
    std::uint32_t seed = 0;
};

// The effect for the class identifier, or nullptr when no effect has that identifier.
std::unique_ptr<TransitionEffect> createEffect(const EffectParams& params);

}  // namespace media
