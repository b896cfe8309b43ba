// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/threshold_blend.h"

#include <algorithm>
#include <cstring>

namespace media::effects {
namespace {

// Eight pixels at a time in 16-bit lanes, with the compiler's portable vector types: the
// loop runs on every frame of every transition, and the compiler does not vectorise the
// plain loop by itself at the build's optimisation level.
typedef std::int16_t I16x8 __attribute__((vector_size(16)));
typedef std::uint16_t U16x8 __attribute__((vector_size(16)));
typedef std::uint8_t U8x8 __attribute__((vector_size(8)));

int weightOf(int d, int softShift) {
    return softShift <= 8 ? d << (8 - softShift) : d >> (softShift - 8);
}

}  // namespace

void blendByThreshold(const std::uint16_t* threshold, const std::uint8_t* a, const std::uint8_t* b,
                      std::uint8_t* out, int n, int front, int softShift) {
    const int soft = 1 << softShift;
    int x = 0;
    const I16x8 zero = {}, softV = zero + static_cast<std::int16_t>(soft);
    const I16x8 frontV = zero + static_cast<std::int16_t>(front);
    const U16x8 full = U16x8{} + 256, half = U16x8{} + 128;
    for (; x + 8 <= n; x += 8) {
        U16x8 t;
        U8x8 pa, pb;
        std::memcpy(&t, threshold + x, sizeof t);
        std::memcpy(&pa, a + x, sizeof pa);
        std::memcpy(&pb, b + x, sizeof pb);
        I16x8 d = frontV - (I16x8)t;
        d = d < zero ? zero : d;
        d = d > softV ? softV : d;
        U16x8 w = (U16x8)d;
        w = softShift <= 8 ? w << (8 - softShift) : w >> (softShift - 8);
        const U16x8 wa = __builtin_convertvector(pa, U16x8),
                    wb = __builtin_convertvector(pb, U16x8);
        const U16x8 mixed = (wa * (full - w) + wb * w + half) >> 8;
        const U8x8 o = __builtin_convertvector(mixed, U8x8);
        std::memcpy(out + x, &o, sizeof o);
    }
    for (; x < n; ++x) {
        const int w = weightOf(std::clamp(front - threshold[x], 0, soft), softShift);
        out[x] = static_cast<std::uint8_t>((a[x] * (256 - w) + b[x] * w + 128) >> 8);
    }
}

}  // namespace media::effects
