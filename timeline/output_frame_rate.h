// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frame rate a join or a preview renders at. The Options dialog's "Original frame rate"
// row stands for the rate of the clips themselves, which is known only once they are
// measured again as the timeline is built.
#include "app/clip_list.h"
#include "output/output_options.h"

namespace timeline {

// The options' rate, or for the original-rate row the rate of the first clip that has a
// picture with a usable rate; the options' rate stands in when no clip tells one.
double outputFrameRate(const OutputOptions& options, const ClipList& clips);

// A measured average rate a hair off a common one (a clip whose last picture is shorter)
// is that common rate: whole rates and the broadcast ones of 1000/1001.
double commonFrameRate(double measured);

}  // namespace timeline
