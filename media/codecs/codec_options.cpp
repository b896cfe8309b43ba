// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/codecs/codec_options.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
}

namespace media::codecs {
namespace {

constexpr std::int64_t kKbit = 1000;

const std::vector<std::string> kX26xPresets{"ultrafast", "superfast", "veryfast", "faster",
                                            "fast",      "medium",    "slow",     "slower",
                                            "veryslow",  "placebo"};

std::vector<std::string> numberRange(int from, int to) {
    std::vector<std::string> v;
    for (int i = from; i <= to; ++i) v.push_back(std::to_string(i));
    return v;
}

// MPEG-4 Part 2 and its relatives: a fixed quantiser or a target bitrate.
CodecOptions quantiserCodec(const std::string& encoder, int defaultQ, std::int64_t defaultKbps,
                            int keyInt) {
    CodecOptions o;
    o.encoder = encoder;
    o.hasBitrate = true;
    o.minBitrate = 16 * kKbit;
    o.maxBitrate = 50'000 * kKbit;
    o.qualityMethod = QualityMethod::QScale;
    o.quality = {"Quantizer (qscale)", 1, 31, true};
    o.hasKeyFrameInterval = keyInt > 0;
    o.maxKeyFrameInterval = 1000;
    o.defaults = {RateControl::ConstantQuality, defaultKbps * kKbit, defaultQ, keyInt, "", ""};
    return o;
}

CodecOptions crfCodec(const std::string& encoder, int crfMax, int defaultCrf,
                      std::int64_t defaultKbps, int keyInt) {
    CodecOptions o;
    o.encoder = encoder;
    o.hasBitrate = true;
    o.minBitrate = 16 * kKbit;
    o.maxBitrate = 100'000 * kKbit;
    o.qualityMethod = QualityMethod::Crf;
    o.quality = {"Constant rate factor (CRF)", 0, crfMax, true};
    o.hasKeyFrameInterval = true;
    o.maxKeyFrameInterval = 1000;
    o.defaults = {RateControl::ConstantQuality, defaultKbps * kKbit, defaultCrf, keyInt, "", ""};
    return o;
}

CodecOptions predictorCodec(const std::string& encoder, std::vector<std::string> predictors,
                            std::string def) {
    CodecOptions o;
    o.encoder = encoder;
    o.preset = CodecChoice{"Prediction", "pred", std::move(predictors)};
    o.defaults.preset = std::move(def);
    return o;
}

CodecOptions genericCodec(const std::string& encoder) {
    CodecOptions o;
    o.encoder = encoder;
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder.c_str());
    const AVCodecDescriptor* d = codec ? avcodec_descriptor_get(codec->id) : nullptr;
    if (!d) return o;
    const bool lossless = (d->props & AV_CODEC_PROP_LOSSLESS) && !(d->props & AV_CODEC_PROP_LOSSY);
    if (!lossless) {
        o.hasBitrate = true;
        o.minBitrate = 16 * kKbit;
        o.maxBitrate = 100'000 * kKbit;
        o.defaults.bitrate = 2000 * kKbit;
    }
    if (!(d->props & AV_CODEC_PROP_INTRA_ONLY) && !lossless) {
        o.hasKeyFrameInterval = true;
        o.maxKeyFrameInterval = 1000;
        o.defaults.keyFrameInterval = 250;
    }
    return o;
}

CodecOptions lookup(const std::string& e) {
    if (e == "mpeg4" || e == "libxvid" || e == "msmpeg4" || e == "msmpeg4v2" || e == "wmv1" ||
        e == "wmv2" || e == "flv" || e == "h263p")
        return quantiserCodec(e, 3, 2000, 250);
    if (e == "mpeg1video" || e == "mpeg2video") return quantiserCodec(e, 3, 4000, 15);
    if (e == "mjpeg") {
        CodecOptions o = quantiserCodec(e, 3, 10'000, 0);
        o.quality.min = 2;
        return o;
    }
    if (e == "libtheora") {
        CodecOptions o = quantiserCodec(e, 7, 2000, 64);
        o.quality = {"Quality", 0, 10, false};
        return o;
    }
    if (e == "libx264" || e == "libx264rgb") {
        CodecOptions o = crfCodec(e, 51, 23, 2500, 250);
        o.preset = CodecChoice{"Preset", "preset", kX26xPresets};
        o.tune = CodecChoice{"Tune",
                             "tune",
                             {"", "film", "animation", "grain", "stillimage", "fastdecode",
                              "zerolatency", "psnr", "ssim"}};
        o.defaults.preset = "medium";
        return o;
    }
    if (e == "libx265") {
        CodecOptions o = crfCodec(e, 51, 28, 2000, 250);
        o.preset = CodecChoice{"Preset", "preset", kX26xPresets};
        o.tune =
            CodecChoice{"Tune",
                        "tune",
                        {"", "psnr", "ssim", "grain", "zerolatency", "fastdecode", "animation"}};
        o.defaults.preset = "medium";
        return o;
    }
    if (e == "libvpx-vp9" || e == "libvpx") {
        // libvpx's "good" deadline at its default speed is very slow; the speed is the one
        // trade-off users want to choose.
        CodecOptions o = crfCodec(e, 63, e == "libvpx" ? 10 : 31, 2000, 240);
        if (e == "libvpx") o.quality.min = 4;
        o.preset = CodecChoice{"Speed (cpu-used)", "cpu-used", numberRange(0, 5)};
        o.defaults.preset = "4";
        return o;
    }
    if (e == "libaom-av1") {
        CodecOptions o = crfCodec(e, 63, 30, 1500, 240);
        o.preset = CodecChoice{"Speed (cpu-used)", "cpu-used", numberRange(0, 8)};
        o.defaults.preset = "6";
        return o;
    }
    if (e == "ffv1") {
        CodecOptions o;
        o.encoder = e;
        o.hasKeyFrameInterval = true;
        o.maxKeyFrameInterval = 1000;
        o.defaults.keyFrameInterval = 1;
        return o;
    }
    if (e == "huffyuv" || e == "ffvhuff")
        return predictorCodec(e, {"left", "plane", "median"}, "left");
    if (e == "utvideo") return predictorCodec(e, {"none", "left", "gradient", "median"}, "left");
    if (e == "magicyuv") return predictorCodec(e, {"left", "gradient", "median"}, "left");
    if (e == "prores_ks") {
        CodecOptions o;
        o.encoder = e;
        o.preset =
            CodecChoice{"Profile", "profile", {"proxy", "lt", "standard", "hq", "4444", "4444xq"}};
        o.defaults.preset = "standard";
        return o;
    }
    return genericCodec(e);
}

bool inChoice(const std::optional<CodecChoice>& c, const std::string& value) {
    if (!c) return value.empty();
    return std::find(c->values.begin(), c->values.end(), value) != c->values.end();
}

}  // namespace

bool CodecOptions::accepts(const EncoderSettings& s) const {
    if (s.rateControl == RateControl::Bitrate && !hasBitrate &&
        qualityMethod != QualityMethod::None)
        return false;
    if (s.rateControl == RateControl::ConstantQuality && qualityMethod == QualityMethod::None)
        return false;
    if (hasBitrate && (s.bitrate < minBitrate || s.bitrate > maxBitrate)) return false;
    if (qualityMethod != QualityMethod::None &&
        (s.quality < quality.min || s.quality > quality.max))
        return false;
    if (hasKeyFrameInterval && (s.keyFrameInterval < 1 || s.keyFrameInterval > maxKeyFrameInterval))
        return false;
    return inChoice(preset, s.preset) && inChoice(tune, s.tune);
}

CodecOptions codecOptionsFor(const std::string& encoder) {
    CodecOptions o = lookup(encoder);
    if (o.title.empty()) {
        const AVCodec* codec = avcodec_find_encoder_by_name(encoder.c_str());
        o.title = codec && codec->long_name ? codec->long_name : encoder;
    }
    return o;
}

void applySettings(const CodecOptions& o, const EncoderSettings& s, AVCodecContext* ctx,
                   AVDictionary** opts) {
    const bool constantQuality =
        s.rateControl == RateControl::ConstantQuality && o.qualityMethod != QualityMethod::None;
    if (constantQuality && o.qualityMethod == QualityMethod::QScale) {
        ctx->flags |= AV_CODEC_FLAG_QSCALE;
        ctx->global_quality = FF_QP2LAMBDA * s.quality;
    } else if (constantQuality && o.qualityMethod == QualityMethod::Crf) {
        av_dict_set_int(opts, "crf", s.quality, 0);
        // VP8 reads the bitrate as the ceiling of its constrained-quality mode; the others
        // are in pure constant quality only without one.
        ctx->bit_rate = o.encoder == "libvpx" ? s.bitrate : 0;
    } else if (o.hasBitrate) {
        ctx->bit_rate = s.bitrate;
    }
    if (o.hasKeyFrameInterval) ctx->gop_size = s.keyFrameInterval;
    if (o.preset && !s.preset.empty())
        av_dict_set(opts, o.preset->option.c_str(), s.preset.c_str(), 0);
    if (o.tune && !s.tune.empty()) av_dict_set(opts, o.tune->option.c_str(), s.tune.c_str(), 0);
}

void addQuietOptions(const std::string& encoder, AVDictionary** opts) {
    if (encoder == "libx265") av_dict_set(opts, "x265-params", "log-level=error", 0);
}

}  // namespace media::codecs
