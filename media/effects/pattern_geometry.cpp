#include "media/effects/pattern_geometry.h"

#include <algorithm>
#include <cmath>

namespace media::effects {

double fraction(double t) { return t - std::floor(t); }

double triangleWave(double t) { return 1.0 - std::abs(2.0 * fraction(t + 0.5) - 1.0); }

double clockAngle(double dx, double dy) {
    double a = std::atan2(dx, -dy);
    return a < 0 ? a + 2.0 * kPi : a;
}

double starGauge(double dx, double dy, int points, double innerRadius) {
    const double r = std::hypot(dx, dy);
    if (r == 0.0) return 0.0;
    // The ray from the centre crosses the edge between an outer and an inner corner; the
    // gauge is the distance along the ray divided by the distance to that edge.
    const double sector = kPi / points;  // from a point to the next inner corner
    const double a = clockAngle(dx, dy);
    const double local = std::fmod(a, 2.0 * sector);
    const double off = local <= sector ? local : 2.0 * sector - local;  // 0 at a point
    // Outer corner at angle 0, radius 1; inner corner at angle `sector`, radius innerRadius.
    const double ox = 0.0, oy = 1.0;
    const double ix = innerRadius * std::sin(sector), iy = innerRadius * std::cos(sector);
    const double ux = std::sin(off), uy = std::cos(off);
    // Solve t * u = o + s * (i - o) for t.
    const double ex = ix - ox, ey = iy - oy;
    const double den = ux * ey - uy * ex;
    const double t = (ox * ey - oy * ex) / den;
    return r / t;
}

double heartGauge(double dx, double dy) {
    // The curve (x^2 + y^2 - 1)^3 - x^2 y^3 = 0 (y up), shifted so its middle sits at the
    // origin. Every ray from that middle leaves the heart once, so the gauge is found by
    // halving the interval of scales.
    const double x = dx, y = -dy + 0.15;
    const auto inside = [&](double s) {
        const double px = x / s, py = y / s;
        const double q = px * px + py * py - 1.0;
        return q * q * q - px * px * py * py * py <= 0.0;
    };
    double lo = 0.0, hi = 1.0;
    while (!inside(hi) && hi < 1e9) lo = hi, hi *= 2.0;
    for (int i = 0; i < 30; ++i) {
        const double mid = 0.5 * (lo + hi);
        (inside(mid) ? hi : lo) = mid;
    }
    return hi;
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
