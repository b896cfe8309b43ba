// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces under the mask effects: the row blend, the threshold map and the cell paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "effect_test_support.h"
#include "media/effects/cell_path.h"
#include "media/effects/effect_classes.h"
#include "media/effects/threshold_blend.h"
#include "media/effects/threshold_map.h"

using namespace media::effects;

TEST(ThresholdBlend, MatchesTheFormulaForEverySoftnessAndRowLength) {
    std::mt19937 rng(5);
    for (int shift = 0; shift <= 12; ++shift)
        for (int n : {1, 7, 8, 9, 23, 64}) {
            std::vector<std::uint16_t> t(static_cast<std::size_t>(n));
            std::vector<std::uint8_t> a(t.size()), b(t.size()), out(t.size());
            for (std::size_t i = 0; i < t.size(); ++i) {
                t[i] = static_cast<std::uint16_t>(rng() % (ThresholdMap::kScale + 1));
                a[i] = static_cast<std::uint8_t>(rng());
                b[i] = static_cast<std::uint8_t>(rng());
            }
            const int soft = 1 << shift;
            for (int front :
                 {0, 1, soft / 2, 8000, ThresholdMap::kScale, ThresholdMap::kScale + soft}) {
                blendByThreshold(t.data(), a.data(), b.data(), out.data(), n, front, shift);
                for (std::size_t i = 0; i < t.size(); ++i) {
                    const int d = std::clamp(front - t[i], 0, soft);
                    const int w = d * 256 / soft;
                    const int expected = (a[i] * (256 - w) + b[i] * w + 128) >> 8;
                    ASSERT_EQ(out[i], expected)
                        << "shift " << shift << " n " << n << " front " << front;
                }
            }
        }
}

TEST(ThresholdMap, StretchesAPatternToTheWholeCourseAndSamplesChromaAtBlockCentres) {
    const ThresholdMap map(
        5, 3, [](double x, double) { return 10.0 + x; }, true);
    EXPECT_EQ(map.row(0, 0)[0], 0);
    EXPECT_EQ(map.row(0, 2)[4], ThresholdMap::kScale);
    EXPECT_EQ(map.row(0, 1)[2], ThresholdMap::kScale / 2);
    // Chroma column 1 covers luma columns 2 and 3 (centre 3.0); the last covers column 4 alone.
    EXPECT_EQ(map.row(1, 0)[1], ThresholdMap::kScale * 5 / 8);
    EXPECT_EQ(map.row(2, 1)[2], ThresholdMap::kScale);
    // A flat or broken pattern gives a map that turns all at once, never garbage.
    const ThresholdMap flat(
        3, 3, [](double, double) { return 4.0; }, true);
    const ThresholdMap broken(
        3, 3, [](double, double) { return std::nan(""); }, true);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(flat.row(0, 1)[x], 0);
        EXPECT_EQ(broken.row(0, 1)[x], 0);
    }
}

TEST(ThresholdMap, SoftEdgeBlendsAcrossItsWidth) {
    // The soft wipe: at half time the middle of the picture is a mix of A and B.
    const int w = 64, h = 8;
    media::Frame out(w, h);
    media::createEffect({std::string(classid::kWipe), std::nullopt, 0})
        ->render(effecttest::solid(w, h, 16), effecttest::solid(w, h, 235), 0.5, out);
    const std::uint8_t* row = out.row(0, 4);
    EXPECT_EQ(row[0], 235);
    EXPECT_EQ(row[w - 1], 16);
    EXPECT_GT(row[w / 2], 40);
    EXPECT_LT(row[w / 2], 210);
    for (int x = 1; x < w; ++x) EXPECT_LE(row[x], row[x - 1]) << x;
}

TEST(CellPaths, VisitEveryCellOnceAndMoveToANeighbour) {
    for (CellGrid g : {CellGrid{1, 1}, CellGrid{1, 5}, CellGrid{6, 1}, CellGrid{4, 4},
                       CellGrid{10, 7}, CellGrid{7, 10}}) {
        for (auto path : {snakePath(g), spiralPath(g)}) {
            ASSERT_EQ(path.size(), static_cast<std::size_t>(g.columns * g.rows));
            std::vector<std::pair<int, int>> byOrder(path.size(), {-1, -1});
            for (int r = 0; r < g.rows; ++r)
                for (int c = 0; c < g.columns; ++c) {
                    const CellStep& s = path[static_cast<std::size_t>(r * g.columns + c)];
                    ASSERT_GE(s.order, 0);
                    ASSERT_LT(s.order, static_cast<int>(path.size()));
                    byOrder[static_cast<std::size_t>(s.order)] = {c, r};
                }
            for (std::size_t i = 1; i < byOrder.size(); ++i) {
                ASSERT_NE(byOrder[i].first, -1) << "a step of the path is missing";
                const int dist = std::abs(byOrder[i].first - byOrder[i - 1].first) +
                                 std::abs(byOrder[i].second - byOrder[i - 1].second);
                EXPECT_EQ(dist, 1) << g.columns << "x" << g.rows << " step " << i;
            }
        }
    }
    // The spiral starts at the top left and ends in the middle.
    const auto spiral = spiralPath({5, 5});
    EXPECT_EQ(spiral[0].order, 0);
    EXPECT_EQ(spiral[12].order, 24);
}
