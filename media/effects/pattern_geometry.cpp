// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/pattern_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace media::effects {

double fraction(double t) {
    return t - std::floor(t);
}

double triangleWave(double t) {
    return 1.0 - std::abs(2.0 * fraction(t + 0.5) - 1.0);
}

double clockAngle(double dx, double dy) {
    double a = std::atan2(dx, -dy);
    return a < 0 ? a + 2.0 * kPi : a;
}

StarShape::StarShape(int points, double innerRadius) {
    const int corners = 2 * std::max(points, 2);
    const auto corner = [&](int i) {
        // Clock angle i * pi / points; outer corners at even i, inner ones at odd i.
        const double a = kPi * i / (corners / 2), r = i % 2 == 0 ? 1.0 : innerRadius;
        return std::pair{r * std::sin(a), -r * std::cos(a)};
    };
    for (int i = 0; i < corners; ++i) {
        const auto [x1, y1] = corner(i);
        const auto [x2, y2] = corner(i + 1);
        double nx = y1 - y2, ny = x2 - x1;
        double c = nx * x1 + ny * y1;
        if (c < 0) nx = -nx, ny = -ny, c = -c;
        edges_.push_back({nx, ny, c});
    }
}

double StarShape::gauge(double dx, double dy) const {
    if (dx == 0.0 && dy == 0.0) return 0.0;
    const double sector = 2.0 * kPi / static_cast<double>(edges_.size());
    const auto i =
        std::min(edges_.size() - 1, static_cast<std::size_t>(clockAngle(dx, dy) / sector));
    const Edge& e = edges_[i];
    return (e.nx * dx + e.ny * dy) / e.c;
}

namespace {

// The heart curve (x^2 + y^2 - 1)^3 - x^2 y^3 = 0 (y up) is star-shaped about its origin:
// each ray from there leaves it once. Its radius along a table of directions is found once
// by halving intervals; a gauge is then one division.
class HeartOutline {
public:
    static constexpr int kDirections = 4096;

    HeartOutline() {
        for (int i = 0; i <= kDirections; ++i) {
            const double a = 2.0 * kPi * i / kDirections;
            const double cx = std::cos(a), cy = std::sin(a);
            double lo = 0.0, hi = 2.0;  // the curve lies within radius 1.3
            for (int step = 0; step < 40; ++step) {
                const double mid = 0.5 * (lo + hi);
                (inside(mid * cx, mid * cy) ? lo : hi) = mid;
            }
            radius_[static_cast<std::size_t>(i)] = lo;
        }
    }

    double radiusAt(double angle) const {
        double pos = angle / (2.0 * kPi) * kDirections;
        if (pos < 0) pos += kDirections;
        const int i = std::clamp(static_cast<int>(pos), 0, kDirections - 1);
        const double f = pos - i;
        return radius_[static_cast<std::size_t>(i)] * (1.0 - f) +
               radius_[static_cast<std::size_t>(i) + 1] * f;
    }

private:
    static bool inside(double x, double y) {
        const double q = x * x + y * y - 1.0;
        return q * q * q - x * x * y * y * y <= 0.0;
    }
    std::array<double, kDirections + 1> radius_{};
};

}  // namespace

double heartGauge(double dx, double dy) {
    static const HeartOutline outline;  // built once, thread-safely, on first use
    // Shifted so that the heart's middle, not its origin, sits at the centre of the picture.
    const double x = dx, y = -dy + 0.15;
    const double r = std::hypot(x, y);
    return r == 0.0 ? 0.0 : r / outline.radiusAt(std::atan2(y, x));
}

std::uint32_t hashPoint(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u ^ x * 0x85EBCA6Bu ^ (y + 0x632BE5ABu) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

}  // namespace media::effects
