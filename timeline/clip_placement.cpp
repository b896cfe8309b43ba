// SPDX-License-Identifier: GPL-3.0-or-later
#include "timeline/clip_placement.h"

#include <algorithm>

namespace timeline {
namespace {

std::vector<AudioPlacement> layAudio(const std::vector<Ticks>& durations, Ticks length) {
    std::vector<AudioPlacement> out;
    if (durations.empty()) return out;
    Ticks a = 0;
    for (;;) {
        bool advanced = false;
        for (std::size_t j = 0; j < durations.size(); ++j) {
            const Ticks b = std::min(length, a + std::max<Ticks>(durations[j], 0));
            out.push_back({static_cast<int>(j), a, b});
            advanced = advanced || b > a;
            a = b;
            if (b == length) return out;
        }
        // A list whose entries are all empty would never reach L: stop after one pass
        // rather than repeat it forever.
        if (!advanced) return out;
    }
}

}  // namespace

Placement placeClips(const std::vector<ClipTiming>& clips,
                     const std::vector<Ticks>& audioDurations) {
    Placement p;
    for (const auto& c : clips) p.length += c.duration;
    const Ticks L = p.length;

    Ticks clipStart = 0;  // S[i]
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const ClipTiming& clip = clips[i];
        const Ticks nextStart = clipStart + clip.duration;  // S[i+1]
        // The picture runs on under the next clip's transition, whether or not that one is
        // drawn: the next clip's start stays where its sound starts either way.
        const Ticks runOn =
            i + 1 < clips.size() ? std::max<Ticks>(clips[i + 1].transitionDuration, 0) : 0;
        ClipPlacement cp;
        cp.start = clipStart;
        cp.stop = std::min(L, nextStart + runOn);
        cp.transitionIndex = clip.transitionIndex;
        if (cp.stop - cp.start < clip.transitionDuration) {
            cp.transitionTooLong = true;
        } else {
            cp.transitionStart = cp.start;
            cp.transitionStop = std::min(L, cp.start + clip.transitionDuration);
        }
        p.clips.push_back(cp);
        clipStart = nextStart;
    }
    p.audio = layAudio(audioDurations, L);
    return p;
}

}  // namespace timeline
