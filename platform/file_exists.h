// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace platform {

// True when `path` names a regular file that this user can open for reading: the test the
// program uses before it opens, plays or replaces a file.
bool fileExists(const std::string& path);

}  // namespace platform
