// SPDX-License-Identifier: GPL-3.0-or-later
#include "timeline/transition_catalogue.h"

#include <gtest/gtest.h>

#include "media/effects/effect.h"

using timeline::TransitionCatalogue;

TEST(TransitionCatalogue, NamesTheEntriesAsTheListsShowThem) {
    EXPECT_EQ(TransitionCatalogue::menuName(0), "None");
    EXPECT_EQ(TransitionCatalogue::menuName(3), "Fade");
    EXPECT_EQ(TransitionCatalogue::menuName(23), "left/right");
    EXPECT_EQ(TransitionCatalogue::listName(23), "Triangles, left/right");
    EXPECT_EQ(TransitionCatalogue::menuName(24), "stripe, SW to NE");
    EXPECT_EQ(TransitionCatalogue::listName(24), "Diagonal stripe, SW to NE");
    EXPECT_EQ(TransitionCatalogue::listName(46), "Matrix, horizontal");
}

TEST(TransitionCatalogue, GivesEachEntryItsEffectAndPattern) {
    EXPECT_FALSE(TransitionCatalogue::hasEffect(0));
    EXPECT_EQ(TransitionCatalogue::effectClass(3), "{16B280C5-EE70-11D1-9066-00C04FD9189D}");
    EXPECT_FALSE(TransitionCatalogue::maskNum(3).has_value());
    EXPECT_FALSE(TransitionCatalogue::maskNum(16).has_value());
    EXPECT_EQ(TransitionCatalogue::effectClass(17), timeline::kSmpteWipeClass);
    EXPECT_EQ(TransitionCatalogue::maskNum(17), 1);
    EXPECT_EQ(TransitionCatalogue::maskNum(46), 301);
}

TEST(TransitionCatalogue, ShowsAnIndexOutsideTheTableAsTheDefaultWipe) {
    for (int index : {-1, 47, 1000}) {
        EXPECT_FALSE(TransitionCatalogue::isValidIndex(index));
        EXPECT_EQ(TransitionCatalogue::listName(index), "Horizontal");
        EXPECT_EQ(TransitionCatalogue::effectClass(index), timeline::kSmpteWipeClass);
        EXPECT_FALSE(TransitionCatalogue::maskNum(index).has_value());
    }
}

TEST(TransitionCatalogue, EveryEntryHasAnEffectTheEngineCanDraw) {
    for (int index = -1; index <= TransitionCatalogue::kCount; ++index) {
        media::EffectParams params{std::string(TransitionCatalogue::effectClass(index)),
                                   TransitionCatalogue::maskNum(index), 0};
        EXPECT_EQ(media::createEffect(params) != nullptr, index != 0) << index;
    }
    // Class identifiers are matched without regard to case, as the platform matches them.
    EXPECT_NE(media::createEffect({"{16b280c5-ee70-11d1-9066-00c04fd9189d}", std::nullopt, 0}),
              nullptr);
    EXPECT_EQ(media::createEffect({"{00000000-0000-0000-0000-000000000000}", std::nullopt, 0}),
              nullptr);
}
