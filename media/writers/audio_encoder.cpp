// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "media/core/log.h"
#include "media/writers/stream_encoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

namespace media {
namespace {

AVSampleFormat preferredSampleFormat(const AVCodec* codec) {
    if (!codec->sample_fmts) return AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
        if (*f == AV_SAMPLE_FMT_FLTP) return *f;
    return codec->sample_fmts[0];
}

// The rate nearest to `wanted` that the codec takes.
int supportedRate(const AVCodec* codec, int wanted) {
    if (!codec->supported_samplerates) return wanted;
    int best = codec->supported_samplerates[0];
    for (const int* r = codec->supported_samplerates; *r; ++r) {
        if (*r == wanted) return wanted;
        if (std::abs(*r - wanted) < std::abs(best - wanted)) best = *r;
    }
    return best;
}

constexpr int kChunkForFreeFrameSizes = 1024;

}  // namespace

Status openAudioCodec(EncoderChoice& choice, AVCodecID fallback, const AudioEncoderRequest& req,
                      av::CodecPtr& out) {
    std::function<Status(AVCodecContext&)>* configure = nullptr;
    if (choice.context) {
        out = std::move(choice.context);
        if (!out->codec) return Status::invalidArg("The audio compressor has no encoder.");
        if (avcodec_is_open(out.get())) return Status::ok();
    } else {
        const AVCodec* codec = choice.codec ? choice.codec : avcodec_find_encoder(fallback);
        if (!codec)
            return Status::fail("No encoder for " + std::string(avcodec_get_name(fallback)) +
                                " is installed.");
        out.reset(avcodec_alloc_context3(codec));
        if (!out) return Status::outOfMemory();
        configure = &choice.configure;
    }
    AVCodecContext& c = *out;
    if (c.sample_rate <= 0) c.sample_rate = supportedRate(c.codec, req.sampleRate);
    if (c.ch_layout.nb_channels <= 0 || c.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&c.ch_layout, req.channels);
    if (c.sample_fmt == AV_SAMPLE_FMT_NONE) c.sample_fmt = preferredSampleFormat(c.codec);
    if (req.bitRate > 0) c.bit_rate = req.bitRate;
    if (c.time_base.num <= 0 || c.time_base.den <= 0) c.time_base = {1, c.sample_rate};
    if (req.globalHeader) c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (configure && *configure) {
        if (Status st = (*configure)(c); !st) return st;
    }
    installFfmpegLogRouting();
    int r = avcodec_open2(&c, c.codec, nullptr);
    if (r < 0)
        return Status::fromAv(
            r, "The audio encoder \"" + std::string(c.codec->name) + "\" cannot start");
    return Status::ok();
}

Status AudioEncoder::start(av::CodecPtr codec, int inputRate, int inputChannels) {
    codec_ = std::move(codec);
    AVCodecContext& c = *codec_;
    inputRate_ = inputRate;
    inputChannels_ = inputChannels;
    const bool freeSize =
        c.frame_size <= 0 || (c.codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    frameSize_ = freeSize ? kChunkForFreeFrameSizes : c.frame_size;
    smallLastFrame_ = freeSize || (c.codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);

    AVChannelLayout in{};
    av_channel_layout_default(&in, inputChannels);
    SwrContext* swr = nullptr;
    int r = swr_alloc_set_opts2(&swr, &c.ch_layout, c.sample_fmt, c.sample_rate, &in,
                                AV_SAMPLE_FMT_FLTP, inputRate, 0, nullptr);
    av_channel_layout_uninit(&in);
    swr_.reset(swr);
    if (r < 0 || !swr_ || (r = swr_init(swr_.get())) < 0)
        return Status::fromAv(r, "The sound cannot be converted for the audio encoder");
    fifo_.reset(av_audio_fifo_alloc(c.sample_fmt, c.ch_layout.nb_channels, frameSize_ * 4));
    packet_ = av::makePacket();
    if (!fifo_ || !packet_) return Status::outOfMemory();
    return Status::ok();
}

Status AudioEncoder::encode(const float* const* planes, int count, const PacketHandler& sink) {
    if (count < 0 || (count > 0 && !planes))
        return Status::invalidArg("No sound samples were given.");
    if (count == 0) return Status::ok();
    AVCodecContext& c = *codec_;
    const int room = swr_get_out_samples(swr_.get(), count);
    if (room < 0) return Status::fromAv(room, "The sound cannot be converted");
    std::uint8_t** out = nullptr;
    int r = av_samples_alloc_array_and_samples(&out, nullptr, c.ch_layout.nb_channels, room,
                                               c.sample_fmt, 0);
    if (r < 0) return Status::fromAv(r, "No memory for sound");
    std::vector<const std::uint8_t*> in(static_cast<std::size_t>(inputChannels_));
    for (int ch = 0; ch < inputChannels_; ++ch)
        in[ch] = reinterpret_cast<const std::uint8_t*>(planes[ch]);
    int got = swr_convert(swr_.get(), out, room, in.data(), count);
    Status st = Status::ok();
    if (got < 0)
        st = Status::fromAv(got, "The sound cannot be converted");
    else if (got > 0 && av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(out), got) < got)
        st = Status::outOfMemory();
    av_freep(&out[0]);
    av_freep(&out);
    if (!st) return st;
    return sendFrames(false, sink);
}

Status AudioEncoder::sendFrames(bool final, const PacketHandler& sink) {
    AVCodecContext& c = *codec_;
    while (av_audio_fifo_size(fifo_.get()) >= frameSize_ ||
           (final && av_audio_fifo_size(fifo_.get()) > 0)) {
        const int available = av_audio_fifo_size(fifo_.get());
        const int take = std::min(available, frameSize_);
        av::FramePtr frame = av::makeFrame();
        if (!frame) return Status::outOfMemory();
        // A codec of fixed frames gets its last frame padded with silence.
        frame->nb_samples = (take < frameSize_ && !smallLastFrame_) ? frameSize_ : take;
        frame->format = c.sample_fmt;
        frame->sample_rate = c.sample_rate;
        if (av_channel_layout_copy(&frame->ch_layout, &c.ch_layout) < 0)
            return Status::outOfMemory();
        if (int r = av_frame_get_buffer(frame.get(), 0); r < 0)
            return Status::fromAv(r, "No memory for sound");
        av_samples_set_silence(frame->extended_data, 0, frame->nb_samples, c.ch_layout.nb_channels,
                               c.sample_fmt);
        av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame->extended_data), take);
        frame->pts = av_rescale_q(nextPts_, AVRational{1, c.sample_rate}, c.time_base);
        nextPts_ += frame->nb_samples;
        int r = avcodec_send_frame(&c, frame.get());
        if (r < 0) return Status::fromAv(r, "The audio encoder refused the sound");
        if (Status st = drain(sink); !st) return st;
    }
    return Status::ok();
}

Status AudioEncoder::flush(const PacketHandler& sink) {
    AVCodecContext& c = *codec_;
    // What the resampler still holds comes out first.
    const int room = swr_get_out_samples(swr_.get(), 0);
    if (room > 0) {
        std::uint8_t** out = nullptr;
        if (av_samples_alloc_array_and_samples(&out, nullptr, c.ch_layout.nb_channels, room,
                                               c.sample_fmt, 0) >= 0) {
            int got = swr_convert(swr_.get(), out, room, nullptr, 0);
            if (got > 0) av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(out), got);
            av_freep(&out[0]);
            av_freep(&out);
        }
    }
    if (Status st = sendFrames(true, sink); !st) return st;
    int r = avcodec_send_frame(&c, nullptr);
    if (r < 0 && r != AVERROR_EOF) return Status::fromAv(r, "The audio encoder could not finish");
    return drain(sink);
}

Status AudioEncoder::drain(const PacketHandler& sink) {
    for (;;) {
        int r = avcodec_receive_packet(codec_.get(), packet_.get());
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return Status::ok();
        if (r < 0) return Status::fromAv(r, "The audio encoder failed");
        Status st = sink(*packet_);
        av_packet_unref(packet_.get());
        if (!st) return st;
    }
}

}  // namespace media
