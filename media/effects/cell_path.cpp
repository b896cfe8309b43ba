// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/effects/cell_path.h"

#include <algorithm>
#include <cmath>

namespace media::effects {

CellGrid gridFor(int width, int height, int columns) {
    CellGrid g;
    g.columns = std::max(1, std::min(columns, width));
    const double cell = static_cast<double>(width) / g.columns;
    g.rows = std::max(1, std::min(height, static_cast<int>(std::lround(height / cell))));
    return g;
}

std::vector<CellStep> snakePath(CellGrid g) {
    std::vector<CellStep> cells(static_cast<std::size_t>(g.columns) * g.rows);
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.columns; ++c) {
            const bool forward = r % 2 == 0;
            CellStep& s = cells[static_cast<std::size_t>(r) * g.columns + c];
            s.order = r * g.columns + (forward ? c : g.columns - 1 - c);
            s.dx = forward ? 1 : -1;
            s.dy = 0;
        }
    return cells;
}

std::vector<CellStep> spiralPath(CellGrid g) {
    std::vector<CellStep> cells(static_cast<std::size_t>(g.columns) * g.rows);
    std::vector<std::pair<int, int>> order;  // (column, row) in path order
    int left = 0, top = 0, right = g.columns - 1, bottom = g.rows - 1;
    while (left <= right && top <= bottom) {
        for (int c = left; c <= right; ++c) order.emplace_back(c, top);
        for (int r = top + 1; r <= bottom; ++r) order.emplace_back(right, r);
        if (top < bottom)
            for (int c = right - 1; c >= left; --c) order.emplace_back(c, bottom);
        if (left < right)
            for (int r = bottom - 1; r > top; --r) order.emplace_back(left, r);
        ++left, ++top, --right, --bottom;
    }
    for (std::size_t i = 0; i < order.size(); ++i) {
        // The direction towards the next cell; the last cell keeps the direction it came in.
        const auto [c, r] = order[i];
        int dx = 1, dy = 0;
        if (i + 1 < order.size()) {
            dx = order[i + 1].first - c, dy = order[i + 1].second - r;
        } else if (i > 0) {
            dx = c - order[i - 1].first, dy = r - order[i - 1].second;
        }
        cells[static_cast<std::size_t>(r) * g.columns + c] = {static_cast<int>(i), dx, dy};
    }
    return cells;
}

SwitchTimeFn pathPattern(int width, int height, CellGrid g, std::vector<CellStep> path,
                         bool sweep) {
    const double cw = static_cast<double>(width) / g.columns,
                 ch = static_cast<double>(height) / g.rows;
    const double total = static_cast<double>(path.size());
    return [=, path = std::move(path)](double x, double y) {
        const double fx = x / cw, fy = y / ch;
        const int c = std::clamp(static_cast<int>(fx), 0, g.columns - 1);
        const int r = std::clamp(static_cast<int>(fy), 0, g.rows - 1);
        const CellStep& s = path[static_cast<std::size_t>(r) * g.columns + c];
        double within = 0.5;
        if (sweep) {
            const double ux = std::clamp(fx - c, 0.0, 1.0), uy = std::clamp(fy - r, 0.0, 1.0);
            within = s.dx > 0 ? ux : s.dx < 0 ? 1.0 - ux : s.dy > 0 ? uy : 1.0 - uy;
        }
        return (s.order + within) / total;
    };
}

}  // namespace media::effects
