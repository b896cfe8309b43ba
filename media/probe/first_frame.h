// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first picture of a clip in a requested size: the still that the clip list and the
// preview show for a clip before anything plays.
#include <string>

#include "media/core/frame.h"
#include "media/core/input_file.h"
#include "media/core/status.h"

namespace media {

// Decodes the first picture of the clip's video stream and scales it to exactly
// `width` x `height` (stretched, as a thumbnail cell is filled; the caller picks a size of
// the clip's display aspect to keep its shape). The picture is as stored: a rotation tag
// (ClipVideoStream::rotationDegrees) is left to the caller. `out.pts` is the picture's
// time from the clip's start. The file is untrusted, as in probeClip; a clip without a
// decodable picture, or one whose first picture cannot be decoded within a bounded
// amount of reading, fails with a reason and leaves `out` empty.
Status readFirstFrame(const std::string& path, int width, int height, Frame& out,
                      const InputLimits& limits = {});

}  // namespace media
