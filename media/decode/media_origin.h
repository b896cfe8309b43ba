// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/core/ffmpeg_ptr.h"
#include "media/core/ticks.h"

namespace media::decode {

// Media time 0 of a file, in a stream's time base: the file's start, which is common to
// all its streams, so that a clip's picture and sound stay together when one of its
// streams starts later than the other or the container's clock does not begin at 0.
std::int64_t originInStreamBase(const AVFormatContext& file, const AVStream& stream);

// A timestamp of `stream` as ticks of media time.
Ticks streamToTicks(std::int64_t ts, const AVStream& stream, std::int64_t origin);
std::int64_t ticksToStream(Ticks t, const AVStream& stream, std::int64_t origin);

// Decoder threads: FFmpeg's frame and slice threading, sized to the machine.
void enableDecoderThreads(AVCodecContext& codec);

}  // namespace media::decode
