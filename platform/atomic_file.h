// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace platform {

// Replaces the file at `path` with `bytes` so that a crash or a full disk never leaves it
// half-written: the bytes go to a temporary file in the same folder, are flushed to the disk,
// and the temporary file is renamed over the old one. The folder is created when missing.
// On failure the old file is untouched, no temporary file is left, and `error` (when given)
// says why.
bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error = nullptr);

}  // namespace platform
