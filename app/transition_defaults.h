#pragma once
// The transition that new clips receive.
#include <cstdint>

enum class TransitionMode : std::int32_t { Random = 0, Sequence = 1, Same = 2 };

struct TransitionDefaults {
    std::int32_t durationSeconds = 1;  // 0..600
    TransitionMode mode = TransitionMode::Random;
    std::int32_t effectIndex = 0;      // 0..46, used in Same mode
};
