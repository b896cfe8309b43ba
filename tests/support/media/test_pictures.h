// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two pictures drawn in code that no transition can confuse: A is blue with a light grid,
// B is orange with dark diagonal stripes. Both shade across the picture, so that a moved
// or stretched copy differs from the original.
#include "media/core/frame.h"

namespace testmedia {

media::Frame pictureA(int width, int height);
media::Frame pictureB(int width, int height);

}  // namespace testmedia
