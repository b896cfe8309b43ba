// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "support/media/test_media.h"

namespace rendertest {

// A clip of the given recipe under `name`, made on first use in this run.
std::string clip(const std::string& name, const testmedia::ClipSpec& recipe);
// A small clip of a solid colour and a tone: 160 x 120, 10 frames per second.
std::string solidClip(const std::string& name, const std::string& colour, int toneHz,
                      double seconds = 2.0);

}  // namespace rendertest
