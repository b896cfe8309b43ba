// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/smpte_patterns.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "media/effects/cell_path.h"
#include "media/effects/pattern_geometry.h"

namespace media::effects {
namespace {

constexpr std::array kKnown{1,   2,   3,   4,   5,   6,   7,   21,  22,  41,  42,  43,  44,
                            45,  46,  47,  48,  61,  62,  63,  64,  71,  72,  73,  74,  101,
                            102, 113, 114, 119, 120, 121, 124, 125, 127, 128, 129, 130, 201,
                            221, 222, 223, 224, 231, 241, 242, 243, 244, 251, 301};

constexpr int kTeeth = 5;            // zigzag edges: teeth along the edge
constexpr double kToothDepth = 0.1;  // ... and their depth, as a share of the picture

// The rounded rectangle's outline: |x|^4 + |y|^4 = r^4.
double superellipse4(double x, double y) {
    const double x2 = x * x, y2 = y * y;
    return std::sqrt(std::sqrt(x2 * x2 + y2 * y2));
}

// Coordinates of a point seen by the patterns: u, v from 0 to 1 across the picture; cu, cv
// from -1 to 1 with 0 at the centre; dx, dy in pixels from the centre.
struct Point {
    double u, v, cu, cv, dx, dy;
};

}  // namespace

bool isKnownSmptePattern(int code) {
    return std::find(kKnown.begin(), kKnown.end(), code) != kKnown.end();
}

std::vector<int> knownSmptePatterns() {
    return {kKnown.begin(), kKnown.end()};
}

SwitchTimeFn smptePattern(int code, int width, int height) {
    if (!isKnownSmptePattern(code)) code = kDefaultSmptePattern;
    const double w = width, h = height;
    // Sizes for the shapes drawn in pixels so they keep their proportions on any picture.
    const double half = std::min(w, h) / 2.0;
    const auto at = [w, h](double x, double y) {
        const double u = x / w, v = y / h;
        return Point{u, v, 2 * u - 1, 2 * v - 1, x - w / 2, y - h / 2};
    };
    const auto field = [at](auto f) -> SwitchTimeFn {
        return [at, f](double x, double y) { return f(at(x, y)); };
    };
    using std::abs;
    using std::max;
    using std::min;

    switch (code) {
        // Bars and boxes moving in from an edge or corner.
        case 1:
            return field([](Point p) { return p.u; });
        case 2:
            return field([](Point p) { return p.v; });
        case 3:
            return field([](Point p) { return max(p.u, p.v); });
        case 4:
            return field([](Point p) { return max(1 - p.u, p.v); });
        case 5:
            return field([](Point p) { return max(1 - p.u, 1 - p.v); });
        case 6:
            return field([](Point p) { return max(p.u, 1 - p.v); });
        // Four boxes from the corners in to the middle.
        case 7:
            return field([](Point p) { return max(min(p.u, 1 - p.u), min(p.v, 1 - p.v)); });
        // Barn doors: two edges opening from the middle line.
        case 21:
            return field([](Point p) { return abs(p.cu); });
        case 22:
            return field([](Point p) { return abs(p.cv); });
        case 45:
            return field([](Point p) { return abs(p.u + p.v - 1); });
        case 46:
            return field([](Point p) { return abs(p.u - p.v); });
        // Diagonal edges from a corner.
        case 41:
            return field([](Point p) { return p.u + p.v; });
        case 42:
            return field([](Point p) { return 1 - p.u + p.v; });
        // Bow ties: two triangles pointing at each other, meeting at half time.
        case 43:
            return field([](Point p) { return abs(p.cu) - abs(p.cv); });
        case 44:
            return field([](Point p) { return abs(p.cv) - abs(p.cu); });
        // Two crossing diagonal stripes; and diamonds opening from the inscribed diamond.
        case 47:
            return field([](Point p) { return min(abs(p.u - p.v), abs(p.u + p.v - 1)); });
        case 48:
            return field([](Point p) { return abs(abs(p.cu) + abs(p.cv) - 1); });
        // Wedges (a V pointing the way it moves) from an edge.
        case 61:
            return field([](Point p) { return p.v + abs(p.cu) / 2; });
        case 62:
            return field([](Point p) { return 1 - p.u + abs(p.cv) / 2; });
        case 63:
            return field([](Point p) { return 1 - p.v + abs(p.cu) / 2; });
        case 64:
            return field([](Point p) { return p.u + abs(p.cv) / 2; });
        // Zigzag edges from an edge, and zigzag barn doors.
        case 71:
            return field([](Point p) { return p.u + kToothDepth * triangleWave(p.v * kTeeth); });
        case 72:
            return field([](Point p) { return p.v + kToothDepth * triangleWave(p.u * kTeeth); });
        case 73:
            return field(
                [](Point p) { return abs(p.cu) + 2 * kToothDepth * triangleWave(p.v * kTeeth); });
        case 74:
            return field(
                [](Point p) { return abs(p.cv) + 2 * kToothDepth * triangleWave(p.u * kTeeth); });
        // Shapes opening from the centre. The box, diamond and hexagons take the picture's
        // proportions; the round shapes and stars keep their own.
        case 101:
            return field([](Point p) { return max(abs(p.cu), abs(p.cv)); });
        case 102:
            return field([](Point p) { return abs(p.cu) + abs(p.cv); });
        case 113:
            return field([](Point p) { return max(abs(p.cv), abs(p.cu) + abs(p.cv) / 2); });
        case 114:
            return field([](Point p) { return max(abs(p.cu), abs(p.cv) + abs(p.cu) / 2); });
        case 119:
            return field([](Point p) { return std::hypot(p.dx, p.dy); });
        case 120:
            return field([](Point p) { return std::hypot(p.dx, 2 * p.dy); });
        case 121:
            return field([](Point p) { return std::hypot(2 * p.dx, p.dy); });
        case 124:
            return field([](Point p) { return superellipse4(p.dx, 2 * p.dy); });
        case 125:
            return field([](Point p) { return superellipse4(2 * p.dx, p.dy); });
        case 127:
            return field([star = StarShape(4, 0.4)](Point p) { return star.gauge(p.dx, p.dy); });
        case 128:
            return field([star = StarShape(5, 0.45)](Point p) { return star.gauge(p.dx, p.dy); });
        case 129:
            return field([star = StarShape(6, 0.55)](Point p) { return star.gauge(p.dx, p.dy); });
        case 130:
            return field([half](Point p) { return heartGauge(p.dx / half, p.dy / half); });
        // A clock hand turning about the centre from twelve.
        case 201:
            return field([](Point p) { return clockAngle(p.dx, p.dy); });
        // One hand pinned at the middle of an edge, sweeping clockwise across the picture.
        case 221:
            return [w](double x, double y) { return clockAngle(x - w / 2, y) - kPi / 2; };
        case 222:
            return [w, h](double x, double y) {
                return fraction(clockAngle(x - w, y - h / 2) / (2 * kPi) - 0.5);
            };
        case 223:
            return [w, h](double x, double y) {
                return fraction(clockAngle(x - w / 2, y - h) / (2 * kPi) - 0.75);
            };
        case 224:
            return [h](double x, double y) { return clockAngle(x, y - h / 2); };
        // Two hands from the middle of the top edge, opening from straight down.
        case 231:
            return [w](double x, double y) { return std::atan2(std::abs(x - w / 2), y); };
        // One hand pinned at a corner, sweeping over the quarter it looks into.
        case 241:
            return [](double x, double y) { return std::atan2(y, x); };
        case 242:
            return [h](double x, double y) { return std::atan2(h - y, x); };
        case 243:
            return [w, h](double x, double y) { return std::atan2(h - y, w - x); };
        case 244:
            return [w](double x, double y) { return std::atan2(y, w - x); };
        // Saloon doors: hands pinned at both top corners swing down from the top edge.
        case 251:
            return [w](double x, double y) {
                return x < w / 2 ? std::atan2(y, x) : std::atan2(y, w - x);
            };
        // Cells filled one after another, row by row, turning at each end.
        case 301: {
            const CellGrid grid = gridFor(width, height, 8);
            return pathPattern(width, height, grid, snakePath(grid), false);
        }
        default:
            break;
    }
    return field([](Point p) { return p.u; });
}

}  // namespace media::effects
