// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <string>

namespace media::codecs {

enum class CompressorCategory { Video, Audio };

// Containers a compressor's stream can be stored in, as the linked muxers report it.
enum ContainerFlag : std::uint8_t {
    kContainerAvi = 1 << 0,
    kContainerMatroska = 1 << 1,
    kContainerMp4 = 1 << 2,
};

// One installed compressor: an encoder of the linked libavcodec under the name a user
// knows it by. Its position in its category's list is its compressor index.
struct CompressorDevice {
    std::string encoder;       // libavcodec encoder name, e.g. "libx264"
    std::string friendlyName;  // what the lists show, e.g. "H.264 / AVC (libx264)"
    CompressorCategory category = CompressorCategory::Video;
    std::uint8_t containers = 0;  // ContainerFlag bits

    bool operator==(const CompressorDevice&) const = default;
};

}  // namespace media::codecs
