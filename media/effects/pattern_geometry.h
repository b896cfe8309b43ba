// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Geometry shared by the wipe patterns. Screen coordinates: x to the right, y downwards.
#include <cstdint>
#include <vector>

namespace media::effects {

inline constexpr double kPi = 3.14159265358979323846;

// 0 at whole numbers, 1 half-way between: the profile of a zigzag edge.
double triangleWave(double t);

// The fractional part, in [0, 1) also for negative t.
double fraction(double t);

// Angle of (dx, dy) as a clock hand: 0 pointing up, growing clockwise, in [0, 2 pi).
double clockAngle(double dx, double dy);

// A star with `points` points of radius 1 (inner corners at `innerRadius`), one point
// straight up. gauge(dx, dy) says how far the point lies out from the centre: below 1
// inside, 1 on the edge. The edges are set up once, so a gauge is one angle and one product.
class StarShape {
public:
    StarShape(int points, double innerRadius);
    double gauge(double dx, double dy) const;

private:
    struct Edge {
        double nx, ny, c;  // the edge is the line nx * x + ny * y = c, c > 0
    };
    std::vector<Edge> edges_;  // one per half-point, clockwise from straight up
};

// How far (dx, dy) lies out from the centre of a heart of about unit size centred on the origin,
// lobes at the top.
double heartGauge(double dx, double dy);

// A well-mixed 32-bit hash of two coordinates and a seed, for patterns drawn at random:
// the same inputs give the same value on every thread and every run.
std::uint32_t hashPoint(std::uint32_t x, std::uint32_t y, std::uint32_t seed);

// hashPoint as a number in [0, 1).
inline double randomAt(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    return hashPoint(x, y, seed) * (1.0 / 4294967296.0);
}

}  // namespace media::effects
