// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a writer's encoded packets go: a container muxer over the writer's output file.
#include <string>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/status.h"

namespace media {

class PacketSink {
public:
    virtual ~PacketSink() = default;
    // Describes a stream from its opened encoder; streams are numbered from 0 in this order.
    virtual Status addStream(const AVCodecContext& encoder) = 0;
    // Starts the file on `io`, which stays owned by the caller.
    virtual Status begin(AVIOContext* io) = 0;
    // A packet of stream `index`, its times in that encoder's time base. Packets may
    // arrive out of time order across streams; the sink puts them in order.
    virtual Status write(AVPacket& packet, int index) = 0;
    // Writes what is still queued and the container's closing parts.
    virtual Status end() = 0;
};

}  // namespace media
