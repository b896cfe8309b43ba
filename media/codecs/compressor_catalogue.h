// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <vector>

#include "media/codecs/compressor_device.h"

namespace media::codecs {

// The compressors of one category installed with the linked libavcodec: every encoder
// whose stream AVI, Matroska or MP4 can hold, in a fixed order (the well-known codecs
// first, in order of preference, then the others by encoder name). Hardware encoders,
// experimental ones and the plain PCM/raw picture formats (the lists' own uncompressed
// rows stand for those) are left out.
std::vector<CompressorDevice> enumerateCompressors(CompressorCategory category);

}  // namespace media::codecs
