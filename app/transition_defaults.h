// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transition that new clips receive.
#include <cstdint>

// The transition durations the dialogs accept, in whole seconds.
inline constexpr int kMinTransitionSeconds = 0;
inline constexpr int kMaxTransitionSeconds = 600;

enum class TransitionMode : std::int32_t { Random = 0, Sequence = 1, Same = 2 };

struct TransitionDefaults {
    std::int32_t durationSeconds = 1;  // kMinTransitionSeconds..kMaxTransitionSeconds
    TransitionMode mode = TransitionMode::Random;
    std::int32_t effectIndex = 0;  // 0..46, used in Same mode
};
