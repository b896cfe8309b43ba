// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The installed compressor a test or a benchmark binds, as the Options dialog would.
#include <string>

#include "media/codecs/compressor_registry.h"

namespace testmedia {

// The bound compressor of that encoder or list name; empty when it is not installed.
media::codecs::CompressorRef installedCompressor(media::codecs::CompressorCategory category,
                                                 const std::string& name);

}  // namespace testmedia
