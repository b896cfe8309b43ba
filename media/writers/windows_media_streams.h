// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a Windows Media profile turns into the encoders of an ASF file.
#include "media/core/status.h"
#include "media/wm/profile.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace media {

struct WindowsMediaStreams {
    bool hasAudio = false;
    AVCodecID audioCodec = AV_CODEC_ID_NONE;
    int sampleRate = 0;
    int channels = 0;
    std::int64_t audioBitrate = 0;

    bool hasVideo = false;
    AVCodecID videoCodec = AV_CODEC_ID_NONE;
    int width = 0;
    int height = 0;
    std::int64_t videoBitrate = 0;
    AVRational frameRate{0, 1};  // from the profile's AvgTimePerFrame
    int gopSize = 0;             // frames between key frames at most
};

// Reads the first audio and the first video stream of the profile. "WMV3" and the other
// Windows Media Video codes are encoded with the best Windows Media Video encoder the
// library has; the file names what was really encoded, so players decode it.
Status windowsMediaStreams(const wm::Profile& profile, WindowsMediaStreams& out);

}  // namespace media
