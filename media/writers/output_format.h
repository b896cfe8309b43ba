// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The output containers by the format codes the settings store: what each is called, the
// muxer that writes it, and which codecs it can carry.
#include <string>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace media {

enum class OutputFormat : int {
    Avi = 0,
    Wmv = 1,
    Matroska = 2,
    Asf = 3,
    Mp4 = 4,
    Dsm = 5,
    Ogm = 6
};

struct ContainerInfo {
    OutputFormat format;
    const char* name;   // as the user reads it: "AVI", "Matroska", ...
    const char* muxer;  // libavformat's muxer; null for the containers we write ourselves
    bool windowsMedia;  // WMV and ASF: encoded as the profile says
};

// The container of a format code, or null for a code the program does not know (7 and above).
const ContainerInfo* containerForCode(int code);

// Whether the container can carry the codec: 1 yes, 0 no.
bool containerCarries(const ContainerInfo& container, AVCodecID codec);

// Whether the container keeps codec headers apart from the packets, so that an encoder
// opened for it must be asked for a global header.
bool containerWantsGlobalHeader(const ContainerInfo& container);

// The codec's name as a user reads it in a message.
std::string codecDisplayName(AVCodecID codec);

}  // namespace media
