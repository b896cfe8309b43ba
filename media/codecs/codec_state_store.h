// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "media/core/status.h"

namespace media::codecs {

// Where each codec keeps its configuration between runs of the program, as an installed
// codec keeps its own settings: one file per codec, <folder>/<codec>.state. A file is
// replaced atomically, so a crash or a full disk leaves the previous one intact.
class CodecStateStore {
public:
    explicit CodecStateStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // $XDG_CONFIG_HOME/KORVANE/codecs, or ~/.config/KORVANE/codecs.
    static std::filesystem::path userFolder();

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path pathFor(const std::string& codec) const;

    // The stored bytes; nothing when there is no file or it cannot be read.
    std::optional<std::vector<std::uint8_t>> load(const std::string& codec) const;
    Status save(const std::string& codec, std::span<const std::uint8_t> state) const;

    // A state file is a few dozen bytes; anything far larger is not one of ours.
    static constexpr std::uintmax_t kMaxFileSize = 4096;

private:
    std::filesystem::path folder_;
};

// The store of the user running the program, made on first use.
std::shared_ptr<const CodecStateStore> userCodecStateStore();

}  // namespace media::codecs
