// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/codecs/stored_compressors.h"

namespace media::codecs {
namespace {

void resolveOne(CompressorCategory category, int stored, int outputFormat,
                const CompressorRegistry& registry,
                CompressorRef& bound, int& use, std::vector<Status>& messages) {
    auto lookup = [&](int index) {
        Status s = category == CompressorCategory::Video
                       ? GetCompressor(index, &bound, registry)
                       : GetAudioCompressor(index, &bound, registry);
        if (s.failed()) messages.push_back(s);
    };
    if (stored == kNeverChosen) {
        if (auto preferred = findPreferredCompressor(category, registry, outputFormat)) {
            lookup(*preferred);
        } else {
            use = 0;
        }
    } else if (stored < 0) {
        // -1, or a damaged number below -2 that names no device either.
        use = 0;
    } else {
        use = 1;
        lookup(stored);
    }
}

}  // namespace

ResolvedCompressors ResolveStoredCompressors(StoredCompressorNumbers stored,
                                             const CompressorRegistry& registry) {
    ResolvedCompressors r;
    resolveOne(CompressorCategory::Video, stored.video, stored.outputFormat, registry, r.pVideoCompressor,
               r.useVideoCompressor, r.messages);
    resolveOne(CompressorCategory::Audio, stored.audio, stored.outputFormat, registry, r.pAudioCompressor,
               r.useAudioCompressor, r.messages);
    return r;
}

}  // namespace media::codecs
