// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>
#include <optional>

#include "media/codecs/codec_options.h"
#include "media/codecs/codec_state_store.h"
#include "media/codecs/compressor_device.h"
#include "media/codecs/encoder_settings.h"
#include "media/core/ffmpeg_ptr.h"
#include "media/core/status.h"

namespace media::codecs {

struct VideoStreamParams {
    int width = 0;
    int height = 0;
    AVRational frameRate{25, 1};
    // Set when the container keeps codec headers apart (AVFMT_GLOBALHEADER).
    bool globalHeader = false;
};

struct AudioStreamParams {
    int sampleRate = 44100;
    int channels = 2;
    bool globalHeader = false;
};

// A compressor bound from a device: what the output renderer inserts for a video or audio
// stream. It opens a ready libavcodec encoder for the stream; a video encoder is set up
// from the configuration the codec keeps (its state file), read at that moment, so every
// render uses the configuration last accepted in the codec's dialog.
//
// The opened context tells the writer all it needs: pix_fmt (the engine converts its
// YUV 4:2:0 pictures to it when it differs) or sample_fmt, sample_rate, ch_layout and
// frame_size, time_base, and extradata when globalHeader was asked for.
class Compressor {
public:
    Compressor(CompressorDevice device, const AVCodec* codec,
               std::shared_ptr<const CodecStateStore> store);

    const CompressorDevice& device() const { return device_; }
    CompressorCategory category() const { return device_.category; }
    const AVCodec* codec() const { return codec_; }

    // The configuration a render would use now (video only).
    EncoderSettings settings() const;

    // This compressor encoding at `bitsPerSecond` whatever its codec keeps, for a render
    // whose bitrate is given for this run alone (a video codec without a bitrate setting
    // keeps its own configuration).
    std::shared_ptr<const Compressor> withBitrate(std::int64_t bitsPerSecond) const;
    // This compressor with `settings` in place of what its codec keeps: a trial run in
    // another process uses the very configuration the program read.
    std::shared_ptr<const Compressor> withSettings(const EncoderSettings& settings) const;
    // The bitrate given for one render by withBitrate; 0 when none was.
    std::int64_t runBitrate() const { return bitrate_; }

    Status openEncoder(const VideoStreamParams& params, av::CodecPtr& out) const;
    Status openEncoder(const AudioStreamParams& params, av::CodecPtr& out) const;

private:
    CompressorDevice device_;
    const AVCodec* codec_;
    std::shared_ptr<const CodecStateStore> store_;
    std::int64_t bitrate_ = 0;  // 0: the stored configuration's, or the audio codec's fair rate
    std::optional<EncoderSettings> settings_;  // set: used whatever the store keeps
};

using CompressorRef = std::shared_ptr<const Compressor>;

// The encoder's input format closest to the engine's YUV 4:2:0 pictures.
AVPixelFormat encoderInputFormat(const AVCodec* codec);

// The configuration `store` keeps for `options.encoder`, or the codec's defaults when it
// keeps none or what it keeps is damaged or out of range.
EncoderSettings storedSettings(const CodecStateStore& store, const CodecOptions& options);

}  // namespace media::codecs
