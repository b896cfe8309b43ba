// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace platform {

// The user's video folder: the desktop's Videos folder when it exists, otherwise the home
// folder. Empty only when not even a home folder is known.
QString userVideoFolder();

// The folder that holds the running program's executable, links resolved, without a
// trailing separator.
QString programFolder();

}  // namespace platform
