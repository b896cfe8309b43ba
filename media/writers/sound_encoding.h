// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a writer's sound reaches its encoder once the file is started: off the caller's
// thread, so that a slow audio encoder (libavcodec's AAC makes about thirty seconds of sound
// a second on one core) runs beside the pictures' encoding and the muxing instead of after
// them. The caller hands over sound in order; push() waits when too much is outstanding.
// The first failure of an encoder or of the sink is kept and returned by every later push()
// and by finish().
#include "media/core/status.h"

namespace media {

class SoundEncoding {
public:
    virtual ~SoundEncoding() = default;
    // Copies `count` samples per channel, planar, for encoding.
    virtual Status push(const float* const* planes, int count) = 0;
    // Encodes and writes everything handed over, then stops. The writer's own encoder is not
    // flushed: that is the caller's, once this returns.
    virtual Status finish() = 0;
    // Stops, dropping what waits.
    virtual void cancel() = 0;
};

}  // namespace media
