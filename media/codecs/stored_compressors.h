// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <vector>

#include "media/codecs/compressor.h"
#include "media/codecs/compressor_registry.h"
#include "media/core/status.h"

namespace media::codecs {

// "CompressorNumber" of the two compressor sections: -2 never chosen, -1 no compressor,
// n >= 0 the device index.
inline constexpr int kNeverChosen = -2;
inline constexpr int kNoCompressor = -1;

struct StoredCompressorNumbers {
    int video = kNeverChosen;
    int audio = kNeverChosen;
    // The output format the choice is for: a never-chosen compressor is its preferred one.
    int outputFormat = kAnyOutputFormat;
};

// What start-up binds and the two use flags of the output options that follow from the
// stored choices. `messages` holds the failures of the lookups, for the caller to show.
struct ResolvedCompressors {
    CompressorRef pVideoCompressor;
    CompressorRef pAudioCompressor;
    int useVideoCompressor = 1;
    int useAudioCompressor = 1;
    std::vector<Status> messages;
};

// Never chosen: the preferred device is bound when there is one, otherwise the flag is
// cleared. None (or any other negative number): the flag is cleared. A device index: the flag is
// set and the device is bound; an index that no longer exists binds nothing and leaves the flag
// set, so the output renderer reports the missing compressor. The stored numbers are not changed.
ResolvedCompressors ResolveStoredCompressors(
    StoredCompressorNumbers stored, const CompressorRegistry& registry = installedCompressors());

}  // namespace media::codecs
