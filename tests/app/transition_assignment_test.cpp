// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transition_assignment.h"

#include <gtest/gtest.h>

TEST(TransitionAssignment, SequenceStartsAgainAtOneAfterTheLastTransition) {
    EXPECT_EQ(sequenceTransitionIndex(0), 0);
    EXPECT_EQ(sequenceTransitionIndex(46), 46);
    EXPECT_EQ(sequenceTransitionIndex(47), 1);
    EXPECT_EQ(sequenceTransitionIndex(92), 46);
    EXPECT_EQ(sequenceTransitionIndex(93), 1);
    EXPECT_EQ(sequenceTransitionIndex(999), 1 + (999 - 1) % 46);
    for (int p = 47; p < 1000; ++p) {
        int reduced = p;
        while (reduced > 46) reduced -= 46;
        ASSERT_EQ(sequenceTransitionIndex(p), reduced) << p;
    }
}

TEST(TransitionAssignment, RandomStaysInTheCatalogueAndSameKeepsTheDefault) {
    std::mt19937 random(7);
    bool sawHigh = false;
    for (int i = 0; i < 2000; ++i) {
        const TransitionChoice c = transitionForNewClip({2, TransitionMode::Random, 5}, i, random);
        ASSERT_GE(c.index, 0);
        ASSERT_LE(c.index, 46);
        sawHigh |= c.index == 46;
        EXPECT_EQ(c.duration, 2 * media::kTicksPerSecond);
    }
    EXPECT_TRUE(sawHigh);

    std::mt19937 untouched = random;
    EXPECT_EQ(transitionForNewClip({0, TransitionMode::Same, 12}, 500, random).index, 12);
    EXPECT_EQ(transitionForNewClip({0, TransitionMode::Same, 99}, 500, random).index, 0)
        << "a damaged default";
    EXPECT_EQ(random, untouched);
}
