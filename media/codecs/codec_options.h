// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "media/codecs/encoder_settings.h"

struct AVCodecContext;
struct AVDictionary;

namespace media::codecs {

// How a codec takes "constant quality".
enum class QualityMethod {
    None,
    QScale,  // fixed quantiser through the codec context's global quality (MPEG-4 family, MJPEG,
             // Theora)
    Crf,     // the wrapper's "crf" option (x264, x265, VP8, VP9, AV1)
};

struct QualityScale {
    std::string label;  // e.g. "Quantizer (qscale)"
    int min = 0;
    int max = 0;
    bool lowerIsBetter = true;
};

// A named choice of the codec's own: x264's preset, HuffYUV's predictor, ...
struct CodecChoice {
    std::string label;                // shown beside the list, e.g. "Preset"
    std::string option;               // the encoder's private option it sets, e.g. "preset"
    std::vector<std::string> values;  // for a tuning, "" (none) comes first
};

// What one video codec lets a user configure, and its defaults. These are the options the
// encoder really has; a codec without any has no state and no configuration dialog.
struct CodecOptions {
    std::string encoder;
    std::string title;  // for the dialog's caption

    bool hasBitrate = false;
    std::int64_t minBitrate = 0;  // bits per second
    std::int64_t maxBitrate = 0;

    QualityMethod qualityMethod = QualityMethod::None;
    QualityScale quality;

    bool hasKeyFrameInterval = false;
    int maxKeyFrameInterval = 0;

    std::optional<CodecChoice> preset;
    std::optional<CodecChoice> tune;

    EncoderSettings defaults;

    bool configurable() const {
        return hasBitrate || qualityMethod != QualityMethod::None || hasKeyFrameInterval ||
               preset || tune;
    }
    bool hasRateChoice() const { return hasBitrate && qualityMethod != QualityMethod::None; }
    // True when every value of `s` is one this codec takes.
    bool accepts(const EncoderSettings& s) const;
};

// The options of `encoder`; for an encoder without a table of its own, the options the
// library's description of it implies (bitrate unless lossless, key frames unless intra-only).
CodecOptions codecOptionsFor(const std::string& encoder);

// Sets up a codec context (before it is opened) and its private options from the settings.
void applySettings(const CodecOptions& options, const EncoderSettings& s, AVCodecContext* ctx,
                   AVDictionary** opts);

// Options that keep an encoder's own console output (x265 prints to stderr itself) quiet.
void addQuietOptions(const std::string& encoder, AVDictionary** opts);

}  // namespace media::codecs
