// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/decode/media_origin.h"

#include <thread>

namespace media::decode {

std::int64_t originInStreamBase(const AVFormatContext& file, const AVStream& stream) {
    if (file.start_time != AV_NOPTS_VALUE)
        return av_rescale_q(file.start_time, AV_TIME_BASE_Q, stream.time_base);
    if (stream.start_time != AV_NOPTS_VALUE) return stream.start_time;
    return 0;
}

Ticks streamToTicks(std::int64_t ts, const AVStream& stream, std::int64_t origin) {
    return av_rescale_q(ts - origin, stream.time_base,
                        AVRational{1, static_cast<int>(kTicksPerSecond)});
}

std::int64_t ticksToStream(Ticks t, const AVStream& stream, std::int64_t origin) {
    return av_rescale_q(t, AVRational{1, static_cast<int>(kTicksPerSecond)}, stream.time_base) +
           origin;
}

void enableDecoderThreads(AVCodecContext& codec) {
    unsigned cores = std::thread::hardware_concurrency();
    codec.thread_count = static_cast<int>(cores == 0 ? 2 : std::min(cores, 8u));
    codec.thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
}

}  // namespace media::decode
