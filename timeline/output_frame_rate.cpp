// SPDX-License-Identifier: GPL-3.0-or-later
#include "timeline/output_frame_rate.h"

#include <cmath>

#include "media/probe/probe_clip.h"
#include "output/output_option_values.h"

namespace timeline {

namespace {

// The largest rate the engine renders at.
constexpr double kMaxRate = 1000.0;
// How far a measured average may lie from a common rate and still be it: less than half
// the step between a whole rate and its broadcast neighbour (0.1 %).
constexpr double kCommonRateTolerance = 0.0004;

}  // namespace

double commonFrameRate(double measured) {
    const double whole = std::round(measured);
    const double broadcast = std::round(measured * 1.001) * 1000.0 / 1001.0;
    const double nearer =
        std::abs(measured - whole) <= std::abs(measured - broadcast) ? whole : broadcast;
    return nearer > 0.0 && std::abs(measured - nearer) <= nearer * kCommonRateTolerance ? nearer
                                                                                        : measured;
}

double outputFrameRate(const OutputOptions& options, const ClipList& clips) {
    if (options.frameRateIndex != output::kOriginalRateRow) return options.frameRate;
    for (int i = 0; i < clips.count(); ++i) {
        const ClipItem& clip = clips.at(i);
        if (!clip.hasPicture) continue;
        const media::ClipInfo info = media::probeClip(clip.fileName.str());
        if (!info.ok() || !info.video) continue;
        const double rate = info.video->frameRate();
        if (rate > 0.0 && rate <= kMaxRate) return commonFrameRate(rate);
    }
    return options.frameRate;
}

}  // namespace timeline
