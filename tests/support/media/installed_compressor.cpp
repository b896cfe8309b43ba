// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media/installed_compressor.h"

namespace testmedia {

media::codecs::CompressorRef installedCompressor(media::codecs::CompressorCategory category,
                                                 const std::string& name) {
    media::codecs::CompressorRef out;
    if (const auto index = media::codecs::findCompressor(category, name))
        media::codecs::bindCompressor(category, *index, &out);
    return out;
}

}  // namespace testmedia
