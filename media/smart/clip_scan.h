// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a join must know of a clip before it can copy the clip's compressed pictures: read
// from the container alone, without decoding a picture, before the output file begins.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "media/core/status.h"
#include "media/core/ticks.h"
#include "media/smart/h264_units.h"

namespace media::smart {

struct ScannedPacket {
    Ticks time = 0;           // presentation time, as media time of the clip
    std::int64_t pts = 0;     // as stored, in the stream's time base
    std::int64_t dts = 0;
    bool startsGroup = false;  // holds an IDR picture: decoding can begin here
};

struct ClipScan {
    std::string path;
    // Why the clip's pictures cannot be copied at all ("the clips are HEVC"); empty when
    // they can be, subject to the output's size and frame grid.
    std::string refusal;
    int width = 0, height = 0;  // the picture as shown (after the stream's cropping)
    double frameRate = 0.0;     // as the container states it; for messages only
    int streamIndex = -1;
    int lengthSize = 0;  // of the packets' NAL lengths; 0 when they use start codes
    std::vector<Bytes> sequenceSets, pictureSets;  // every distinct one the clip carries
    std::vector<ScannedPacket> packets;             // in decoding order
    // Packets from this one on are not copied: a parameter set changed under the same
    // identifier (a new picture size, say), which one track description cannot hold.
    std::size_t copyableEnd = 0;
};

// Reads every video packet of `path`. A clip that cannot be opened, or whose pictures can
// never be copied, still succeeds with `refusal` set; only a stop fails.
Status scanClip(const std::string& path, const std::atomic<bool>& stop, ClipScan& out);

}  // namespace media::smart
