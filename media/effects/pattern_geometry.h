#pragma once
// Geometry shared by the wipe patterns. Screen coordinates: x to the right, y downwards.
#include <cstdint>

namespace media::effects {

inline constexpr double kPi = 3.14159265358979323846;

// 0 at whole numbers, 1 half-way between: the profile of a zigzag edge.
double triangleWave(double t);

// The fractional part, in [0, 1) also for negative t.
double fraction(double t);

// Angle of (dx, dy) as a clock hand: 0 pointing up, growing clockwise, in [0, 2 pi).
double clockAngle(double dx, double dy);

// How far (dx, dy) lies out from the centre of a star with `points` points of radius 1
// (inner corners at `innerRadius`), one point straight up: below 1 inside, 1 on the edge.
double starGauge(double dx, double dy, int points, double innerRadius);

// The same for a heart of about unit size centred on the origin, lobes at the top.
double heartGauge(double dx, double dy);

// A well-mixed 32-bit hash of two coordinates and a seed, for patterns drawn at random:
// the same inputs give the same value on every thread and every run.
std::uint32_t hashPoint(std::uint32_t x, std::uint32_t y, std::uint32_t seed);

// hashPoint as a number in [0, 1).
inline double randomAt(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    return hashPoint(x, y, seed) * (1.0 / 4294967296.0);
}

}  // namespace media::effects
