// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a join copied from its clips unchanged instead of encoding it again.
#include <string>

#include "media/core/ticks.h"

namespace media {

struct CopyReport {
    bool tried = false;   // copying was asked for and the output can hold copied pictures
    Ticks copied = 0;     // output time whose pictures were copied
    Ticks total = 0;      // the output's length
    std::string whyNone;  // nothing copied: why, for the first clip that could not be
};

}  // namespace media
