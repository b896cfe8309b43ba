// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A compressor trial handed to a helper process. An encoder call cannot be interrupted, so a
// program that must not wait tries compressors in processes it can kill: the request travels
// as command-line arguments, the answer comes back as one line the helper prints.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "media/codecs/compressor.h"
#include "media/writers/compressor_trial.h"

namespace media {

// The argument that puts the program into its trial mode; the request's arguments follow.
inline constexpr const char* kTrialModeSwitch = "--compressor-trial";

// Everything a trial's answer depends on.
struct TrialRequest {
    codecs::CompressorDevice device;
    std::string configuration;  // the codec's kept state in hex (video); empty: its defaults
    std::int64_t bitrate = 0;   // a bitrate given for one render, 0 for none
    TrialOutput output;
};

// The request that tries `compressor` as it is configured now for `output`.
TrialRequest trialRequestFor(const codecs::Compressor& compressor, const TrialOutput& output);

// What decides the answer, as text: the encoder, its configuration and the settings tried
// (those of the other kind of stream left out, since they change nothing).
std::string trialKey(const TrialRequest& request);

std::vector<std::string> trialArguments(const TrialRequest& request);
// The request in `arguments` (those after the switch); nothing when they are not a whole,
// sensible request.
std::optional<TrialRequest> parseTrialArguments(const std::vector<std::string>& arguments);

// The compressor the request names, configured as it says; null when this build of the
// libraries has no such encoder or the configuration is not one of that codec.
codecs::CompressorRef requestedCompressor(const TrialRequest& request);

// The line a helper prints for an answer (an empty refusal: the compressor works), and the
// answer read back from all that a helper printed; nothing when it printed no answer.
std::string trialAnswerLine(const std::string& refusal);
std::optional<std::string> parseTrialAnswer(std::string_view printed);

}  // namespace media
