// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows Media profiles for WMV and ASF joins. The search itself lives with the engine's
// codec tables (media/wm/), where the engine's own tests run it without Qt; the output
// renderer reaches it through these names.
#include "media/wm/profile_generator.h"

namespace timeline {

using media::wm::AudioStreamParams;
using media::wm::GenerateProfile;
using media::wm::joinAudioParams;
using media::wm::joinVideoParams;
using media::wm::MapProfile;
using media::wm::Profile;
using media::wm::VideoStreamParams;
using media::wm::wholeFrameRate;

inline constexpr std::uint32_t WMT_VER_9_0 = media::wm::kVersion9;

}  // namespace timeline
