// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/threshold_map.h"

#include <algorithm>
#include <cmath>

#include "media/effects/frame_ops.h"
#include "media/effects/threshold_blend.h"

namespace media::effects {
namespace {

// Single precision holds the 14 bits of a threshold with room to spare, at half the memory.
struct Samples {
    std::vector<float> luma;
    std::vector<float> chroma;
};

// Chroma samples sit at the centre of the luma pixels they cover; at an odd right or
// bottom edge that block has only one column or row of pixels.
double chromaCentre(int c, int lumaSize) {
    return (2.0 * c + std::min(2 * c + 2, lumaSize)) / 2.0;
}

Samples sample(int width, int height, const SwitchTimeFn& pattern) {
    Samples s;
    s.luma.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s.luma.push_back(static_cast<float>(pattern(x + 0.5, y + 0.5)));
    const int cw = (width + 1) / 2, ch = (height + 1) / 2;
    s.chroma.reserve(static_cast<std::size_t>(cw) * ch);
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x)
            s.chroma.push_back(
                static_cast<float>(pattern(chromaCentre(x, width), chromaCentre(y, height))));
    return s;
}

std::vector<std::uint16_t> quantise(const std::vector<float>& v, double lo, double hi) {
    std::vector<std::uint16_t> out(v.size());
    const double range = hi - lo;
    for (std::size_t i = 0; i < v.size(); ++i) {
        double t = std::isfinite(v[i]) && range > 1e-12 ? (v[i] - lo) / range : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        out[i] = static_cast<std::uint16_t>(std::lround(t * ThresholdMap::kScale));
    }
    return out;
}

}  // namespace

ThresholdMap::ThresholdMap(int width, int height, const SwitchTimeFn& pattern, bool normalise)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    if (width_ == 0 || height_ == 0) return;
    Samples s = sample(width_, height_, pattern);
    double lo = 0.0, hi = 1.0;
    if (normalise) {
        lo = INFINITY, hi = -INFINITY;
        for (double v : s.luma)
            if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
        if (!(lo <= hi)) lo = hi = 0.0;
    }
    luma_ = quantise(s.luma, lo, hi);
    chroma_ = quantise(s.chroma, lo, hi);
}

void ThresholdMap::blend(const Frame& a, const Frame& b, double progress, double softness,
                         Frame& out) const {
    if (!sameSize(a, b, out) || a.width() != width_ || a.height() != height_) return;
    if (!(progress > 0.0)) return copyPixels(a, out);
    if (progress >= 1.0) return copyPixels(b, out);

    // A pixel with threshold t crosses from A to B while the moving front goes from t to
    // t + soft. The front runs from 0 to kScale + soft, so that at progress 1 even the latest
    // pixel is wholly B and at progress 0 even the earliest is wholly A. The soft width is
    // a power of two, so the weight of B is a shift of how far the front has passed.
    const double units = std::clamp(softness, 0.0, 0.25) * kScale;
    const int softShift =
        units <= 1.0 ? 0 : std::clamp(static_cast<int>(std::lround(std::log2(units))), 0, 12);
    const int front = static_cast<int>(std::lround(progress * (kScale + (1 << softShift))));
    for (int p = 0; p < Frame::kPlanes; ++p)
        for (int y = 0; y < a.planeHeight(p); ++y)
            blendByThreshold(row(p, y), a.row(p, y), b.row(p, y), out.row(p, y), a.planeWidth(p),
                             front, softShift);
}

}  // namespace media::effects
