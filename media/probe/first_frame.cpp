// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/probe/first_frame.h"

#include <chrono>

#include "media/probe/clip_length.h"
#include "media/probe/decodable_streams.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace media {
namespace {

// A damaged file may hold nothing but undecodable data: stop looking after this much.
constexpr int kMaxPackets = 2000;
constexpr std::chrono::milliseconds kDecodeTimeout{5000};

bool isFullRange(const AVFrame* f) {
    switch (f->format) {
        case AV_PIX_FMT_YUVJ420P:
        case AV_PIX_FMT_YUVJ422P:
        case AV_PIX_FMT_YUVJ444P:
        case AV_PIX_FMT_YUVJ440P:
        case AV_PIX_FMT_YUVJ411P:
            return true;
        default:
            return f->color_range == AVCOL_RANGE_JPEG;
    }
}

// Scales and converts into the engine's BT.601 limited-range 4:2:0, taking the source's own
// matrix and range into account so that colours come out as the clip shows them.
Status scaleInto(const AVFrame* src, Frame& dst) {
    av::SwsPtr sws(sws_getContext(src->width, src->height, static_cast<AVPixelFormat>(src->format),
                                  dst.width(), dst.height(), AV_PIX_FMT_YUV420P, SWS_BICUBIC,
                                  nullptr, nullptr, nullptr));
    if (!sws) {
        const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(src->format));
        return Status::fail(std::string("Cannot convert pictures of format ") +
                            (name ? name : "unknown"));
    }
    const int srcSpace =
        src->colorspace == AVCOL_SPC_UNSPECIFIED || src->colorspace == AVCOL_SPC_RGB
            ? (src->height > 576 ? SWS_CS_ITU709 : SWS_CS_ITU601)
            : static_cast<int>(src->colorspace);
    sws_setColorspaceDetails(sws.get(), sws_getCoefficients(srcSpace), isFullRange(src) ? 1 : 0,
                             sws_getCoefficients(SWS_CS_ITU601), 0, 0, 1 << 16, 1 << 16);
    std::uint8_t* planes[4] = {dst.plane(0), dst.plane(1), dst.plane(2), nullptr};
    int strides[4] = {dst.stride(0), dst.stride(1), dst.stride(2), 0};
    int rows = sws_scale(sws.get(), src->data, src->linesize, 0, src->height, planes, strides);
    if (rows <= 0) return Status::fail("Converting the first picture failed");
    return Status::ok();
}

}  // namespace

Status readFirstFrame(const std::string& path, int width, int height, Frame& out,
                      const InputLimits& limits) {
    out = Frame();
    if (width <= 0 || height <= 0 || width > limits.maxWidth || height > limits.maxHeight)
        return Status::invalidArg("A picture of " + std::to_string(width) + "x" +
                                  std::to_string(height) + " cannot be made");
    av::InputPtr input;
    Status s = openInputFile(path, input, limits);
    if (s.failed()) return s;
    DecodableStreams streams = findDecodableStreams(input.get());
    if (!streams.video)
        return Status::fail("The file holds no picture that can be decoded: " + path);
    const int index = streams.video->streamIndex;
    const AVStream* st = input->streams[index];
    for (unsigned i = 0; i < input->nb_streams; ++i)
        input->streams[i]->discard =
            static_cast<int>(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;

    const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
    av::CodecPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder) return Status::outOfMemory();
    int rc = avcodec_parameters_to_context(decoder.get(), st->codecpar);
    if (rc < 0) return Status::fromAv(rc, "Cannot set up the decoder for " + path);
    decoder->thread_count = 1;  // one picture: threads would only add start-up and delay
    decoder->max_pixels = limits.maxPixels;
    decoder->pkt_timebase = st->time_base;
    rc = avcodec_open2(decoder.get(), codec, nullptr);
    if (rc < 0) return Status::fromAv(rc, "Cannot open the decoder for " + path);

    ReadDeadline deadline(kDecodeTimeout);
    av::PacketPtr pkt = av::makePacket();
    av::FramePtr frame = av::makeFrame();
    if (!pkt || !frame) return Status::outOfMemory();

    bool draining = false;
    for (int n = 0; n < kMaxPackets;) {
        rc = avcodec_receive_frame(decoder.get(), frame.get());
        if (rc >= 0) break;
        if (rc == AVERROR_EOF) return Status::fail("No picture of " + path + " could be decoded");
        if (rc != AVERROR(EAGAIN))
            return Status::fromAv(rc, "Decoding the first picture of " + path + " failed");
        if (draining) return Status::fail("No picture of " + path + " could be decoded");
        rc = av_read_frame(input.get(), pkt.get());
        if (rc < 0) {
            if (deadline.expired())
                return Status::fail("Decoding the first picture of " + path + " took too long");
            draining = true;  // end of the file (or damage): let the decoder give what it holds
            avcodec_send_packet(decoder.get(), nullptr);
            continue;
        }
        if (pkt->stream_index == index) {
            ++n;
            // A damaged packet is skipped: a later one may still decode.
            avcodec_send_packet(decoder.get(), pkt.get());
        }
        av_packet_unref(pkt.get());
    }
    if (!frame->data[0] || frame->width <= 0 || frame->height <= 0)
        return Status::fail("No picture of " + path + " could be decoded within the first packets");

    Frame picture(width, height);
    if (picture.empty()) return Status::outOfMemory();
    s = scaleInto(frame.get(), picture);
    if (s.failed()) return s;
    const std::int64_t stamp = frame->best_effort_timestamp;
    if (stamp != AV_NOPTS_VALUE) {
        picture.pts =
            av_rescale_q(stamp, st->time_base, AVRational{1, static_cast<int>(kTicksPerSecond)}) -
            clipStartTime(input.get());
    }
    out = picture;
    return Status::ok();
}

}  // namespace media
