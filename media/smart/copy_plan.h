// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which of the output's pictures a join copies from its clips unchanged: whole groups of
// pictures, each from an IDR picture to the next, that lie on screen with nothing over
// them (no transition, no other clip) and fall on the output's frame grid. Everything
// else is rendered and encoded.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "media/render/frame_times.h"
#include "media/render/render_plan.h"
#include "media/smart/clip_scan.h"

namespace media::smart {

struct CopiedStretch {
    std::shared_ptr<const ClipScan> clip;
    std::size_t firstPacket = 0, endPacket = 0;     // the clip's packets, decoding order
    std::int64_t firstFrame = 0, endFrame = 0;      // the output frames they show
    std::vector<std::int64_t> frames;               // the output frame of each packet
};

struct CopyPlan {
    render::FrameTimes times;  // the output's frame grid
    std::vector<CopiedStretch> stretches;  // in output order, never overlapping
    int reorderDelay = 0;  // frames a copied picture is decoded ahead of being shown, at most
    std::vector<Bytes> sequenceSets, pictureSets;  // of every copied clip, identifiers distinct
    std::set<int> sequenceIds, pictureIds;
    std::string whyNone;  // when nothing is copied: why, for the first clip that was not

    std::int64_t copiedFrames() const;
    // Output frames [first, end) that are copied, in order.
    std::vector<std::pair<std::int64_t, std::int64_t>> copiedRanges() const;
};

// `scans` holds a scan for every source path of the group (others are rendered).
CopyPlan planCopies(const render::GroupPlan& group, const render::FrameTimes& times,
                    std::int64_t frameCount,
                    const std::vector<std::shared_ptr<const ClipScan>>& scans);

}  // namespace media::smart
