// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/mp4_options.h"

namespace media {

MuxerOptions mp4MuxerOptions(const Mp4Options& options) {
    // The writer drops fast start with a fragmented file (with only a log line), so the two
    // are never asked for together.
    if (options.fragmented)
        return {{"movflags", "+frag_keyframe+empty_moov+default_base_moof"}};
    if (options.fastStart) return {{"movflags", "+faststart"}};
    return {};
}

}  // namespace media
