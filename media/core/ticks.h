// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

namespace media {

// Every time in the engine's API is a count of 100-ns ticks, as the clip list stores it.
using Ticks = std::int64_t;
inline constexpr Ticks kTicksPerSecond = 10'000'000;

constexpr Ticks secondsToTicks(double s) { return static_cast<Ticks>(s * kTicksPerSecond + (s >= 0 ? 0.5 : -0.5)); }
constexpr double ticksToSeconds(Ticks t) { return static_cast<double>(t) / kTicksPerSecond; }

}  // namespace media
