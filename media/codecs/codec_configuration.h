// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "media/codecs/codec_options.h"
#include "media/codecs/codec_state_store.h"
#include "media/codecs/compressor_device.h"
#include "media/codecs/encoder_settings.h"
#include "media/core/status.h"

namespace media::codecs {

// One codec of the Settings button's table: its encoder and how it describes itself.
struct CodecInfo {
    std::string handler;
    std::string description;
};

inline constexpr std::size_t kMaxCodecTable = 50;
inline constexpr std::size_t kMaxDescriptionBytes = 255;  // a 256-byte text with its terminator
inline constexpr int kQueryWidth = 352;
inline constexpr int kQueryHeight = 240;

// The video codecs of `devices` that take a 352x240 picture (each is opened to find out),
// at most kMaxCodecTable of them, in device order.
std::vector<CodecInfo> buildCodecTable(const std::vector<CompressorDevice>& devices);

// True when `text` holds a run of digits and dots with at least one digit (a version).
bool hasVersionRun(const std::string& text);

// The table row matching the chosen device name, or -1. A description equal to the name
// (ignoring case) matches, a later equal one replacing an earlier match; while nothing
// matches, a description matches that, like the name, holds "divx" and a version.
int matchCodecDescription(const std::vector<CodecInfo>& table, const std::string& chosenName);

// Shows a codec's configuration to the user: the settings accepted, or nothing when the
// user cancelled.
using ConfigureDialog =
    std::function<std::optional<EncoderSettings>(const CodecOptions&, const EncoderSettings&)>;

// A codec opened for configuration. It starts from the configuration it keeps in the
// store and can hand out or take its state, as a block of bytes, and run its dialog; what
// the user accepts there it keeps in the store for every later render.
class ConfigurableCodec {
public:
    // Nothing when the encoder is not present.
    static std::unique_ptr<ConfigurableCodec> open(const std::string& handler,
                                                   std::shared_ptr<const CodecStateStore> store);

    const CodecOptions& options() const { return options_; }
    const EncoderSettings& settings() const { return settings_; }

    // 0 for a codec with nothing to configure.
    std::size_t stateSize() const;
    std::vector<std::uint8_t> state() const;
    // Takes a state of this codec; refuses (and keeps its own) a foreign or damaged one.
    bool setState(std::span<const std::uint8_t> state);

    struct ConfigureResult {
        bool accepted = false;
        Status saved;  // failure when the accepted settings could not be kept
    };
    ConfigureResult configure(const ConfigureDialog& dialog);

private:
    ConfigurableCodec(CodecOptions options, std::shared_ptr<const CodecStateStore> store);

    CodecOptions options_;
    EncoderSettings settings_;
    std::shared_ptr<const CodecStateStore> store_;
};

// The configuration state last saved from a codec's dialog in this run of the program:
// it pre-loads the next configuration dialog of a codec with a state of the same size.
using CodecStateBuffer = std::optional<std::vector<std::uint8_t>>;
CodecStateBuffer& processCodecStateBuffer();

enum class ConfigureResultKind { NoMatch, NoState, Cancelled, Accepted };

struct ConfigureOutcome {
    ConfigureResultKind kind = ConfigureResultKind::NoMatch;
    std::string handler;  // the matched codec
    Status status;        // failure only when accepted settings could not be saved
};

// The Settings button for the device named `chosenName`: match it against the codec table,
// open the codec, pre-load (or discard) the saved state, show its dialog and save the
// state it accepts.
ConfigureOutcome configureVideoCodec(const std::string& chosenName,
                                     const std::vector<CodecInfo>& table, CodecStateBuffer& buffer,
                                     const std::shared_ptr<const CodecStateStore>& store,
                                     const ConfigureDialog& dialog);

}  // namespace media::codecs
