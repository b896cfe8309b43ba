// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Windows Media codecs and their formats, grouped and ordered as the runtime offers
// them: each codec lists its formats as complete media types. The profile search walks
// these tables exactly as it walks the runtime's codec information.
#include <string>
#include <vector>

#include "media/wm/media_type.h"

namespace media::wm {

inline constexpr std::uint16_t kTagWmaV2 = 0x161;
inline constexpr std::uint16_t kTagWmaPro = 0x162;
inline constexpr std::uint16_t kTagWmaLossless = 0x163;
inline constexpr std::uint16_t kTagWmaVoice = 0x000A;

struct CodecEntry {
    std::string name;
    std::vector<MediaType> formats;
};

struct CodecCatalog {
    std::vector<CodecEntry> audio;
    std::vector<CodecEntry> video;
};

// The codecs this program encodes for Windows Media output.
const CodecCatalog& standardCodecs();

}  // namespace media::wm
