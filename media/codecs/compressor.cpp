// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/codecs/compressor.h"

#include <cstdlib>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/opt.h>
}

#include "media/core/frame_rate.h"
#include "media/core/log.h"

namespace media::codecs {
namespace {

struct DictDeleter {
    void operator()(AVDictionary* d) const { av_dict_free(&d); }
};

AVSampleFormat sampleFormatFor(const AVCodec* codec) {
    if (!codec->sample_fmts) return AV_SAMPLE_FMT_S16;
    return codec->sample_fmts[0];
}

int sampleRateFor(const AVCodec* codec, int wanted) {
    if (!codec->supported_samplerates) return wanted;
    int best = codec->supported_samplerates[0];
    for (const int* r = codec->supported_samplerates; *r; ++r) {
        if (*r == wanted) return wanted;
        if (std::abs(*r - wanted) < std::abs(best - wanted)) best = *r;
    }
    return best;
}

Status channelLayoutFor(const AVCodec* codec, int channels, AVChannelLayout* out) {
    av_channel_layout_default(out, channels);
    if (!codec->ch_layouts) return Status::ok();
    for (const AVChannelLayout* l = codec->ch_layouts; l->nb_channels; ++l)
        if (av_channel_layout_compare(l, out) == 0) return Status::ok();
    // Not offered: take the codec's layout with the most channels up to the ones we have.
    const AVChannelLayout* best = nullptr;
    for (const AVChannelLayout* l = codec->ch_layouts; l->nb_channels; ++l)
        if (l->nb_channels <= channels && (!best || l->nb_channels > best->nb_channels)) best = l;
    if (!best) best = codec->ch_layouts;
    av_channel_layout_uninit(out);
    return av_channel_layout_copy(out, best) < 0 ? Status::outOfMemory() : Status::ok();
}

// A fair bitrate for the lossy audio codecs, which libavcodec would otherwise set low.
std::int64_t audioBitrateFor(AVCodecID id, int channels) {
    const std::int64_t perPair = [&]() -> std::int64_t {
        switch (id) {
            case AV_CODEC_ID_AAC:
                return 160'000;
            case AV_CODEC_ID_MP3:
                return 192'000;
            case AV_CODEC_ID_VORBIS:
                return 160'000;
            case AV_CODEC_ID_OPUS:
                return 128'000;
            case AV_CODEC_ID_AC3:
            case AV_CODEC_ID_EAC3:
            case AV_CODEC_ID_MP2:
                return 224'000;
            case AV_CODEC_ID_WMAV1:
            case AV_CODEC_ID_WMAV2:
                return 128'000;
            default:
                return 0;
        }
    }();
    if (perPair == 0) return 0;
    return channels <= 1 ? perPair / 2 : perPair * ((channels + 1) / 2);
}

// MPEG-4 Part 2 and several older codecs keep time in 16 bits.
AVRational timeBaseFor(AVRational rate) {
    AVRational tb = av_inv_q(rate);
    if (tb.num > 65535 || tb.den > 65535) av_reduce(&tb.num, &tb.den, tb.num, tb.den, 65535);
    return tb;
}

void warnUnused(AVDictionary* opts, const std::string& encoder) {
    const AVDictionaryEntry* e = nullptr;
    while ((e = av_dict_get(opts, "", e, AV_DICT_IGNORE_SUFFIX)))
        log(LogLevel::Warning, encoder + " does not take the option " + e->key + "=" + e->value);
}

Status openWith(av::CodecPtr& ctx, const AVCodec* codec, AVDictionary*& opts,
                const std::string& what, av::CodecPtr& out) {
    installFfmpegLogRouting();
    int err = avcodec_open2(ctx.get(), codec, &opts);
    std::unique_ptr<AVDictionary, DictDeleter> left(opts);
    opts = nullptr;
    if (err < 0) return Status::fromAv(err, "Could not open the " + what);
    warnUnused(left.get(), codec->name);
    out = std::move(ctx);
    return Status::ok();
}

}  // namespace

AVPixelFormat encoderInputFormat(const AVCodec* codec) {
    // MJPEG wants the full-range variant unless told to write non-standard files.
    if (codec->id == AV_CODEC_ID_MJPEG) return AV_PIX_FMT_YUVJ420P;
    if (!codec->pix_fmts) return AV_PIX_FMT_YUV420P;
    return avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, AV_PIX_FMT_YUV420P, 0, nullptr);
}

Compressor::Compressor(CompressorDevice device, const AVCodec* codec,
                       std::shared_ptr<const CodecStateStore> store)
    : device_(std::move(device)), codec_(codec), store_(std::move(store)) {}

EncoderSettings storedSettings(const CodecStateStore& store, const CodecOptions& options) {
    if (!options.configurable()) return options.defaults;
    auto bytes = store.load(options.encoder);
    if (!bytes) return options.defaults;
    auto s = parseSettings(options.encoder, *bytes);
    if (!s || !options.accepts(*s)) {
        log(LogLevel::Warning,
            "The saved settings of " + options.encoder + " are damaged; using its defaults");
        return options.defaults;
    }
    return *s;
}

EncoderSettings Compressor::settings() const {
    const CodecOptions options = codecOptionsFor(device_.encoder);
    EncoderSettings s = settings_ ? *settings_
                        : store_  ? storedSettings(*store_, options)
                                  : options.defaults;
    if (bitrate_ > 0 && options.hasBitrate) {
        s.rateControl = RateControl::Bitrate;
        s.bitrate = bitrate_;
    }
    return s;
}

std::shared_ptr<const Compressor> Compressor::withBitrate(std::int64_t bitsPerSecond) const {
    auto copy = std::make_shared<Compressor>(*this);
    copy->bitrate_ = bitsPerSecond;
    return copy;
}

std::shared_ptr<const Compressor> Compressor::withSettings(const EncoderSettings& settings) const {
    auto copy = std::make_shared<Compressor>(*this);
    copy->settings_ = settings;
    return copy;
}

Status Compressor::openEncoder(const VideoStreamParams& p, av::CodecPtr& out) const {
    out.reset();
    const std::string what = "video compressor \"" + device_.friendlyName + "\"";
    if (category() != CompressorCategory::Video)
        return Status::invalidArg(device_.friendlyName + " is not a video compressor");
    if (p.width <= 0 || p.height <= 0 || p.width > 16384 || p.height > 16384)
        return Status::invalidArg("The frame size " + std::to_string(p.width) + "x" +
                                  std::to_string(p.height) + " cannot be compressed");
    if (p.frameRate.num <= 0 || p.frameRate.den <= 0)
        return Status::invalidArg("The frame rate must be above 0");

    av::CodecPtr ctx(avcodec_alloc_context3(codec_));
    if (!ctx) return Status::outOfMemory();
    ctx->width = p.width;
    ctx->height = p.height;
    ctx->sample_aspect_ratio = {1, 1};
    ctx->framerate = p.frameRate;
    ctx->time_base = timeBaseFor(p.frameRate);
    const FrameRate rate{p.frameRate.num, p.frameRate.den};
    ctx->pix_fmt = encoderInputFormat(codec_);
    if (ctx->pix_fmt == AV_PIX_FMT_YUVJ420P) ctx->color_range = AVCOL_RANGE_JPEG;
    ctx->thread_count = 0;  // one per core
    ctx->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (p.globalHeader) ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    AVDictionary* opts = nullptr;
    const CodecOptions options = codecOptionsFor(device_.encoder);
    applySettings(options, settings(), ctx.get(), &opts);
    addQuietOptions(device_.encoder, &opts);
    Status opened = openWith(ctx, codec_, opts, what, out);
    if (const std::string refusal = opened.failed() ? rateRefusal(codec_, device_.friendlyName, rate) : "";
        !refusal.empty())
        return Status::invalidArg(refusal);
    return opened;
}

Status Compressor::openEncoder(const AudioStreamParams& p, av::CodecPtr& out) const {
    out.reset();
    const std::string what = "audio compressor \"" + device_.friendlyName + "\"";
    if (category() != CompressorCategory::Audio)
        return Status::invalidArg(device_.friendlyName + " is not an audio compressor");
    if (p.sampleRate <= 0 || p.sampleRate > 384000 || p.channels <= 0 || p.channels > 8)
        return Status::invalidArg("Sound of " + std::to_string(p.channels) + " channels at " +
                                  std::to_string(p.sampleRate) + " Hz cannot be compressed");

    av::CodecPtr ctx(avcodec_alloc_context3(codec_));
    if (!ctx) return Status::outOfMemory();
    ctx->sample_fmt = sampleFormatFor(codec_);
    ctx->sample_rate = sampleRateFor(codec_, p.sampleRate);
    ctx->time_base = {1, ctx->sample_rate};
    if (Status s = channelLayoutFor(codec_, p.channels, &ctx->ch_layout); s.failed()) return s;
    ctx->bit_rate = bitrate_ > 0 ? bitrate_ : audioBitrateFor(codec_->id, ctx->ch_layout.nb_channels);
    ctx->thread_count = 0;
    if (p.globalHeader) ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    AVDictionary* opts = nullptr;
    return openWith(ctx, codec_, opts, what, out);
}

}  // namespace media::codecs
