// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Choosing the picture and sound streams of an opened file that this build can decode.
#include <optional>
#include <string>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/status.h"
#include "media/probe/clip_info.h"

namespace media {

struct DecodableStreams {
    std::optional<ClipVideoStream> video;
    std::optional<ClipAudioStream> audio;
    // When neither was found: why, in words ("no decoder for 'xyz'", "no picture or sound").
    std::string whyNone;
    // True when a decoder could not be set up for lack of memory, as opposed to not existing.
    bool outOfMemory = false;
};

// A stream counts when its parameters are sane and a decoder exists and opens for them.
// Cover pictures of music files are not video. Of several candidates of one kind, the one
// FFmpeg ranks best (default disposition, most data) is taken.
DecodableStreams findDecodableStreams(const AVFormatContext* input);

// Opens (and closes again) a decoder for the parameters. Single-threaded, so it is cheap.
Status openDecoderFor(const AVCodecParameters* par);

}  // namespace media
