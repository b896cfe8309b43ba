// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A frame rate as the exact fraction that writers, codecs and players expect. Users type
// rates as decimals ("23.976", "29.97"); those name the broadcast rates n x 1000/1001, and
// a file must carry 24000/1001, not the decimal's own fraction, or codecs that accept only
// the broadcast rates refuse it and the pictures drift against the sound.
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace media {

struct FrameRate {
    int num = 30;
    int den = 1;
    double value() const { return static_cast<double>(num) / den; }
    bool operator==(const FrameRate&) const = default;
};

// A whole rate is exact; any other within 0.001 of n x 1000/1001 is that fraction; any other
// is the nearest fraction with a denominator of at most 1001. A rate that is not above 0
// gives 0/1.
FrameRate exactFrameRate(double fps);

// "23.976", "25", "12.5": the rate as a person reads it, at most three decimals.
std::string frameRateText(FrameRate rate);

// Some encoders (MPEG-1, MPEG-2) know only a list of rates and refuse others with a bare
// "Invalid argument". Called after such a refusal: when `codec` has a list and `rate` is
// not on it, the message that names `codecName`, the rate and the rates it takes; empty
// otherwise (the refusal had another cause).
std::string rateRefusal(const AVCodec* codec, const std::string& codecName, FrameRate rate);

}  // namespace media
