// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Patterns that fill a grid of cells one after another along a path: the zigzag and
// spiral transitions and the matrix wipe.
#include <vector>

#include "media/effects/threshold_map.h"

namespace media::effects {

struct CellGrid {
    int columns = 1;
    int rows = 1;
};

// `columns` across, and as many rows as keep the cells about square (at least one).
CellGrid gridFor(int width, int height, int columns);

// One cell on a path: its place in the order and the direction the path crosses it.
struct CellStep {
    int order = 0;
    int dx = 1;
    int dy = 0;
};

// Cells in reading order of the grid (row by row), each with its step on the path.
// Row by row from the top left, turning at each end of a row.
std::vector<CellStep> snakePath(CellGrid grid);
// Clockwise round the edge from the top left, then round the next ring in, to the middle.
std::vector<CellStep> spiralPath(CellGrid grid);

// The pattern of a path over a picture: with `sweep`, each cell fills with an edge moving
// the way the path goes, so the path is drawn as one continuous line; without, each cell
// turns whole at its moment.
SwitchTimeFn pathPattern(int width, int height, CellGrid grid, std::vector<CellStep> path,
                         bool sweep);

}  // namespace media::effects
