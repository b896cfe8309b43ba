// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/core/frame_rate.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace media {

FrameRate exactFrameRate(double fps) {
    if (!(fps > 0.0) || !std::isfinite(fps) || fps > INT_MAX / 1001.0) return {0, 1};
    // A whole rate first: 1 lies within 0.001 of 1000/1001 and must stay 1.
    if (std::abs(fps - std::round(fps)) < 1e-9 && fps >= 1.0)
        return {static_cast<int>(std::round(fps)), 1};
    const double broadcastSteps = std::round(fps * 1001.0 / 1000.0);
    if (broadcastSteps >= 1.0 && std::abs(fps - broadcastSteps * 1000.0 / 1001.0) <= 0.001)
        return {static_cast<int>(broadcastSteps) * 1000, 1001};
    FrameRate best{0, 1};
    double bestError = INFINITY;
    for (int den = 1; den <= 1001; ++den) {
        const double num = std::round(fps * den);
        if (num < 1.0) continue;
        const double error = std::abs(num / den - fps);
        if (error < bestError) {  // the smallest denominator wins a tie
            bestError = error;
            best = {static_cast<int>(num), den};
        }
    }
    return best;
}

std::string frameRateText(FrameRate rate) {
    if (rate.den <= 0) return "0";
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", rate.value());
    std::string s = text;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

std::string rateRefusal(const AVCodec* codec, const std::string& codecName, FrameRate rate) {
    if (!codec || !codec->supported_framerates) return {};
    std::string list;
    for (const AVRational* r = codec->supported_framerates; r->num != 0; ++r) {
        if (av_cmp_q(*r, AVRational{rate.num, rate.den}) == 0) return {};
        list += (list.empty() ? "" : ", ") + frameRateText({r->num, r->den});
    }
    return "The codec \"" + codecName + "\" cannot write " + frameRateText(rate) +
           " frames per second; it takes only " + list + ". Choose one of these frame rates or another compressor.";
}

}  // namespace media
