// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/stream_encoder.h"

#include "media/core/frame_rate.h"
#include "media/core/log.h"
#include "media/writers/output_format.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

namespace media {
namespace {

AVPixelFormat preferredPixelFormat(const AVCodec* codec) {
    if (!codec->pix_fmts) return AV_PIX_FMT_YUV420P;
    for (const AVPixelFormat* p = codec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p)
        if (*p == AV_PIX_FMT_YUV420P) return *p;
    return codec->pix_fmts[0];
}

Status openFilled(av::CodecPtr& ctx, const VideoEncoderRequest& req,
                  const std::function<Status(AVCodecContext&)>* configure) {
    AVCodecContext& c = *ctx;
    if (c.width <= 0) c.width = req.width;
    if (c.height <= 0) c.height = req.height;
    if (c.time_base.num <= 0 || c.time_base.den <= 0) c.time_base = req.timeBase;
    if (c.framerate.num <= 0) c.framerate = req.frameRate;
    if (c.pix_fmt == AV_PIX_FMT_NONE)
        c.pix_fmt =
            req.pixelFormat != AV_PIX_FMT_NONE ? req.pixelFormat : preferredPixelFormat(c.codec);
    if (req.bitRate > 0) c.bit_rate = req.bitRate;
    if (req.gopSize > 0) c.gop_size = req.gopSize;
    if (c.sample_aspect_ratio.num <= 0) c.sample_aspect_ratio = {1, 1};
    if (req.globalHeader) c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (!(c.pix_fmt == AV_PIX_FMT_BGR24 || c.pix_fmt == AV_PIX_FMT_RGB24)) {
        c.color_range = AVCOL_RANGE_MPEG;
        c.colorspace = AVCOL_SPC_SMPTE170M;
        c.color_primaries = AVCOL_PRI_SMPTE170M;
        c.color_trc = AVCOL_TRC_SMPTE170M;
    }
    if (c.thread_count == 1)
        c.thread_count = 0;  // let the library pick, as fast as the machine allows
    if (configure && *configure) {
        if (Status st = (*configure)(c); !st) return st;
    }
    installFfmpegLogRouting();
    const AVCodec* codec = c.codec;  // a failed open empties the context's own
    const FrameRate rate{c.framerate.num, c.framerate.den};
    int r = avcodec_open2(&c, codec, nullptr);
    if (r < 0) {
        const std::string refusal = rateRefusal(codec, codecDisplayName(codec->id), rate);
        if (!refusal.empty()) return Status::invalidArg(refusal);
        return Status::fromAv(r, "The video encoder \"" + std::string(codec->name) + "\" cannot start");
    }
    return Status::ok();
}

}  // namespace

Status openVideoCodec(EncoderChoice& choice, AVCodecID fallback, const VideoEncoderRequest& req,
                      av::CodecPtr& out) {
    if (choice.context) {
        out = std::move(choice.context);
        if (!out->codec) return Status::invalidArg("The video compressor has no encoder.");
        if (avcodec_is_open(out.get())) return Status::ok();
        return openFilled(out, req, nullptr);
    }
    const AVCodec* codec = choice.codec ? choice.codec : avcodec_find_encoder(fallback);
    if (!codec)
        return Status::fail("No encoder for " + std::string(avcodec_get_name(fallback)) +
                            " is installed.");
    out.reset(avcodec_alloc_context3(codec));
    if (!out) return Status::outOfMemory();
    return openFilled(out, req, &choice.configure);
}

Status VideoEncoder::start(av::CodecPtr codec) {
    codec_ = std::move(codec);
    packet_ = av::makePacket();
    return packet_ ? Status::ok() : Status::outOfMemory();
}

Status VideoEncoder::encode(const Frame& frame, const PacketHandler& sink) {
    if (frame.empty()) return Status::invalidArg("An empty picture cannot be written.");
    AVCodecContext& c = *codec_;
    if (!sws_ || swsWidth_ != frame.width() || swsHeight_ != frame.height()) {
        sws_.reset(sws_getContext(frame.width(), frame.height(), AV_PIX_FMT_YUV420P, c.width,
                                  c.height, c.pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (!sws_) return Status::fail("Pictures cannot be converted for the video encoder.");
        // The engine's pictures are BT.601 limited range; keep the range the encoder expects.
        const int* coeffs = sws_getCoefficients(SWS_CS_ITU601);
        const bool rgb = c.pix_fmt == AV_PIX_FMT_BGR24 || c.pix_fmt == AV_PIX_FMT_RGB24;
        sws_setColorspaceDetails(sws_.get(), coeffs, 0, coeffs, rgb ? 1 : 0, 0, 1 << 16, 1 << 16);
        swsWidth_ = frame.width();
        swsHeight_ = frame.height();
    }
    av::FramePtr out = av::makeFrame();
    if (!out) return Status::outOfMemory();
    out->format = c.pix_fmt;
    out->width = c.width;
    out->height = c.height;
    if (int r = av_frame_get_buffer(out.get(), 0); r < 0)
        return Status::fromAv(r, "No memory for a picture");
    const std::uint8_t* src[3] = {frame.plane(0), frame.plane(1), frame.plane(2)};
    const int srcStride[3] = {frame.stride(0), frame.stride(1), frame.stride(2)};
    sws_scale(sws_.get(), src, srcStride, 0, frame.height(), out->data, out->linesize);

    std::int64_t pts =
        av_rescale_q_rnd(frame.pts, AVRational{1, static_cast<int>(kTicksPerSecond)}, c.time_base,
                         static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
    // Two pictures on one tick of the time base would stop the encoder; keep order instead.
    if (lastPts_ != AV_NOPTS_VALUE && pts <= lastPts_) pts = lastPts_ + 1;
    lastPts_ = pts;
    out->pts = pts;
    int r = avcodec_send_frame(&c, out.get());
    if (r < 0) return Status::fromAv(r, "The video encoder refused a picture");
    return drain(sink);
}

Status VideoEncoder::flush(const PacketHandler& sink) {
    int r = avcodec_send_frame(codec_.get(), nullptr);
    if (r < 0 && r != AVERROR_EOF) return Status::fromAv(r, "The video encoder could not finish");
    return drain(sink);
}

Status VideoEncoder::drain(const PacketHandler& sink) {
    for (;;) {
        int r = avcodec_receive_packet(codec_.get(), packet_.get());
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return Status::ok();
        if (r < 0) return Status::fromAv(r, "The video encoder failed");
        AVCodecContext& c = *codec_;
        if (packet_->duration <= 0 && c.framerate.num > 0 && c.framerate.den > 0)
            packet_->duration = av_rescale_q(1, av_inv_q(c.framerate), c.time_base);
        Status st = sink(*packet_);
        av_packet_unref(packet_.get());
        if (!st) return st;
    }
}

}  // namespace media
