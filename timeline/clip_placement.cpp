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

Placement placeClips(const std::vector<ClipTiming>& clips, const std::vector<Ticks>& audioDurations) {
    Placement p;
    for (const auto& c : clips) p.length += c.duration;
    const Ticks L = p.length;

    if (!clips.empty()) {
        // The first transition is centred on time 0: half of it lies before the start.
        Ticks c = -(clips[0].transitionDuration / 2);
        for (const auto& clip : clips) {
            ClipPlacement cp;
            cp.start = std::max<Ticks>(c, 0);
            cp.stop = std::min(L, c + clip.duration + clip.transitionDuration);
            cp.transitionIndex = clip.transitionIndex;
            const Ticks T = clip.transitionDuration;
            if (cp.stop - cp.start - T < 0) {
                cp.transitionTooLong = true;
            } else {
                cp.transitionStart = std::max<Ticks>(cp.start, 0);
                cp.transitionStop = std::min(L, cp.start + T);
            }
            p.clips.push_back(cp);
            c = cp.stop - T;
        }
    }
    p.audio = layAudio(audioDurations, L);
    return p;
}

}  // namespace timeline
