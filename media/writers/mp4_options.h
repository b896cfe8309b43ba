// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a user can change about how an MP4 file is laid out.
#include "media/writers/media_writer.h"

namespace media {

struct Mp4Options {
    // The index (the "moov" box) before the pictures, so that a player or a browser can
    // start playing while the file still downloads. Costs one more pass over the file when
    // it is finished.
    bool fastStart = false;
    // The file in self-contained pieces, one from each key frame: what was written stays
    // playable even if writing stops abruptly. Its index is always at the front, so fast
    // start has nothing to do then.
    bool fragmented = false;

    bool operator==(const Mp4Options&) const = default;
};

// The MP4 writer's options for these choices; none for the defaults.
MuxerOptions mp4MuxerOptions(const Mp4Options& options);

}  // namespace media
