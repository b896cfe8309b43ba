// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's sounds, by resource id, compiled into the program.
#include <QUrl>

namespace res {

// Wave 144: the tick of a command button that the pointer enters. An unknown id gives an
// empty address.
QUrl waveUrl(int id);

}  // namespace res
