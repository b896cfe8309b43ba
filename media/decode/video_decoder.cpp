// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/decode/video_decoder.h"

#include <cmath>
#include <utility>

extern "C" {
#include <libavutil/display.h>
}

#include "media/core/input_file.h"
#include "media/core/log.h"
#include "media/decode/media_origin.h"

namespace media::decode {
namespace {

// A forward jump longer than this seeks instead of decoding everything in between.
constexpr Ticks kSeekAhead = 3 * kTicksPerSecond;

int clockwiseRotation(const AVStream& stream) {
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix || size < 9 * sizeof(int32_t)) return 0;
    double ccw = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    if (std::isnan(ccw)) return 0;
    int cw = static_cast<int>(std::lround(-ccw / 90.0)) * 90;
    return ((cw % 360) + 360) % 360;
}

}  // namespace

Status VideoDecoder::open(const std::string& path) {
    path_ = path;
    Status s = openInputFile(path, input_);
    if (!s) return s;
    openCount_.emplace();
    const AVCodec* decoder = nullptr;
    int index = av_find_best_stream(input_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index == AVERROR_STREAM_NOT_FOUND) return Status::ok();  // sound only: the picture is black
    if (index < 0 || !decoder)
        return Status::fromAv(index, "Cannot decode the pictures of " + path);
    stream_ = input_->streams[index];
    if (stream_->disposition & AV_DISPOSITION_ATTACHED_PIC) {
        stream_ = nullptr;  // a cover image is not a moving picture
        return Status::ok();
    }
    for (unsigned i = 0; i < input_->nb_streams; ++i)
        if (static_cast<int>(i) != index) input_->streams[i]->discard = AVDISCARD_ALL;

    av::CodecPtr codec(avcodec_alloc_context3(decoder));
    if (!codec) return Status::outOfMemory();
    int rc = avcodec_parameters_to_context(codec.get(), stream_->codecpar);
    if (rc < 0) return Status::fromAv(rc, "Cannot decode the pictures of " + path);
    codec->pkt_timebase = stream_->time_base;
    enableDecoderThreads(*codec);
    rc = avcodec_open2(codec.get(), decoder, nullptr);
    if (rc < 0) return Status::fromAv(rc, "Cannot decode the pictures of " + path);
    codec_ = std::move(codec);
    packet_ = av::makePacket();
    current_ = av::makeFrame();
    next_ = av::makeFrame();
    if (!packet_ || !current_ || !next_) return Status::outOfMemory();
    origin_ = originInStreamBase(*input_, *stream_);
    rotation_ = clockwiseRotation(*stream_);
    return Status::ok();
}

Ticks VideoDecoder::frameTime(const AVFrame& f) {
    Ticks t;
    if (f.best_effort_timestamp != AV_NOPTS_VALUE) {
        t = streamToTicks(f.best_effort_timestamp, *stream_, origin_);
    } else {
        AVRational rate =
            stream_->avg_frame_rate.num > 0 ? stream_->avg_frame_rate : AVRational{25, 1};
        t = lastTime_ < 0 ? 0 : lastTime_ + av_rescale(kTicksPerSecond, rate.den, rate.num);
    }
    // Pictures are shown in decoding order; a timestamp that goes back is a damaged one.
    if (t <= lastTime_) t = lastTime_ + 1;
    lastTime_ = t;
    return t;
}

Status VideoDecoder::decodeNext(bool& gotFrame) {
    gotFrame = false;
    for (;;) {
        int rc = avcodec_receive_frame(codec_.get(), next_.get());
        if (rc == 0) {
            gotFrame = true;
            return Status::ok();
        }
        if (rc == AVERROR_EOF) {
            decoderDone_ = true;
            return Status::ok();
        }
        if (rc != AVERROR(EAGAIN)) {
            // The decoder gave up on its state: what was decoded so far stays on screen.
            ++damaged_;
            decoderDone_ = true;
            return Status::ok();
        }
        if (demuxDone_) {
            decoderDone_ = true;  // drained and nothing more will come
            return Status::ok();
        }
        rc = av_read_frame(input_.get(), packet_.get());
        if (rc < 0) {
            // A file that stopped answering fails the render; it must not pass for an end.
            if (Status stalled = readFailure(input_.get()); stalled.failed()) return stalled;
            // The end, or a file cut short or unreadable from here: decode what is buffered.
            if (rc != AVERROR_EOF) log(LogLevel::Warning, "Reading stopped early in " + path_);
            demuxDone_ = true;
            avcodec_send_packet(codec_.get(), nullptr);
            continue;
        }
        if (packet_->stream_index != stream_->index) {
            av_packet_unref(packet_.get());
            continue;
        }
        rc = avcodec_send_packet(codec_.get(), packet_.get());
        av_packet_unref(packet_.get());
        if (rc < 0 && rc != AVERROR(EAGAIN))
            ++damaged_;  // skipped; the decoder conceals what follows
    }
}

void VideoDecoder::seekTo(Ticks t) {
    int rc = av_seek_frame(input_.get(), stream_->index,
                           ticksToStream(std::max<Ticks>(t, 0), *stream_, origin_),
                           AVSEEK_FLAG_BACKWARD);
    if (rc < 0) {
        log(LogLevel::Warning, "Cannot seek in " + path_);
        return;
    }
    avcodec_flush_buffers(codec_.get());
    haveCurrent_ = haveNext_ = false;
    demuxDone_ = decoderDone_ = false;
    lastTime_ = -1;
}

void VideoDecoder::discardNonReference(bool discard) {
    if (codec_) codec_->skip_frame = discard ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
}

Status VideoDecoder::frameAt(Ticks t, const AVFrame*& out) {
    out = nullptr;
    if (!codec_) return Status::ok();
    const bool backwards = haveCurrent_ && t < currentTime_ && currentReplaced_;
    const bool farAhead =
        haveNext_ ? t > nextTime_ + kSeekAhead : (!haveCurrent_ && !decoderDone_ && t > kSeekAhead);
    if (backwards || farAhead) seekTo(t);
    for (;;) {
        if (!haveNext_ && !decoderDone_) {
            bool got = false;
            Status s = decodeNext(got);
            if (!s) return s;
            if (got) {
                haveNext_ = true;
                nextTime_ = frameTime(*next_);
            }
        }
        if (!haveNext_) break;
        if (haveCurrent_ && nextTime_ > t) break;
        currentReplaced_ = haveCurrent_;
        std::swap(current_, next_);
        av_frame_unref(next_.get());
        currentTime_ = nextTime_;
        ++serial_;
        haveCurrent_ = true;
        haveNext_ = false;
    }
    if (haveCurrent_) out = current_.get();
    return Status::ok();
}

}  // namespace media::decode
