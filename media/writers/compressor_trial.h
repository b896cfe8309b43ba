// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a compressor can really write a given output: many encoders take only some
// sizes, rates or sample rates, and some containers refuse some codecs only when the file
// is written. The compressor is tried once, cheaply, the way a Join would use it (a few
// frames through the real writer into a scratch file), and the answer is remembered.
#include <optional>
#include <string>

#include "media/codecs/compressor.h"
#include "media/codecs/compressor_registry.h"
#include "media/core/frame_rate.h"

namespace media {

// The output a compressor is tried for.
struct TrialOutput {
    int formatCode = 0;  // as WriterSettings::formatCode
    int width = 352;
    int height = 240;
    FrameRate frameRate{24000, 1001};
    int sampleRate = 44100;
    int channels = 2;

    bool operator==(const TrialOutput&) const = default;
};

// The refusal known without writing anything: an unknown format, or a container that cannot
// carry the codec; empty when only a trial can tell.
std::string refusalWithoutTrial(const codecs::Compressor& compressor, const TrialOutput& output);

// Empty when `compressor` writes `output`; otherwise why not, as a user reads it, naming
// what was refused (the container, the size, the rate or the sample rate). Remembered per
// encoder, configuration and output for the rest of the run; safe to call from any thread.
std::string compressorRefusal(const codecs::Compressor& compressor, const TrialOutput& output);
// The same for the registry's device `index` of `category`; a device whose encoder is gone
// is refused as such.
std::string compressorRefusal(
    codecs::CompressorCategory category, int index, const TrialOutput& output,
    const codecs::CompressorRegistry& registry = codecs::installedCompressors());

}  // namespace media
