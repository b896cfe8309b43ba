// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

namespace platform {

// The application title: the running program's file name without its extension. It
// captions plain message boxes and names the program's settings file.
QString applicationTitle();

}  // namespace platform
