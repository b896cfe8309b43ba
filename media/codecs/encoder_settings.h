// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace media::codecs {

enum class RateControl : std::uint8_t { Bitrate = 0, ConstantQuality = 1 };

// How one video codec is configured. The configuration dialog edits it, the codec keeps
// it (serialized, see below) and the encoder opened for a render is set up from it.
// Which fields mean something depends on the codec (see CodecOptions).
struct EncoderSettings {
    RateControl rateControl = RateControl::Bitrate;
    std::int64_t bitrate = 0;  // bits per second, used in Bitrate mode
    int quality = 0;           // the codec's own quality scale (quantiser, CRF, ...)
    int keyFrameInterval = 0;  // largest distance between key frames, in frames
    std::string preset;        // the codec's preset-like choice; empty when it has none
    std::string tune;          // the codec's tuning; empty for none

    bool operator==(const EncoderSettings&) const = default;
};

// The codec's "state": the settings as a block of bytes, tagged with the codec's name and
// protected by a checksum. The size depends only on the codec, so two states of one codec
// always have the same size, and states of codecs with names of different length differ.
inline constexpr std::size_t kStateTextField = 16;  // preset and tune, zero padded
inline constexpr std::size_t kMaxStateCodecName = 64;

std::size_t stateSizeFor(const std::string& codec);
std::vector<std::uint8_t> serializeSettings(const std::string& codec, const EncoderSettings& s);

// The settings in `bytes` when they are a whole, undamaged state of `codec`; nothing for a
// state of another codec, a truncated or altered block, or one of an unknown version.
std::optional<EncoderSettings> parseSettings(const std::string& codec,
                                             std::span<const std::uint8_t> bytes);

}  // namespace media::codecs
