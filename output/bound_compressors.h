// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The compressors bound at start-up and by the output options dialog; the output renderer
// inserts them when the output options' use flags say so. Empty: none bound.
#include "media/codecs/compressor.h"

struct BoundCompressors {
    media::codecs::CompressorRef video;  // pVideoCompressor
    media::codecs::CompressorRef audio;  // pAudioCompressor
};
