// SPDX-License-Identifier: GPL-3.0-or-later
#include "timeline/clip_placement.h"

#include <gtest/gtest.h>

using timeline::ClipTiming;
using timeline::placeClips;
using timeline::Ticks;

namespace {

constexpr Ticks s(double seconds) {
    return static_cast<Ticks>(seconds * 10'000'000);
}

}  // namespace

TEST(ClipPlacement, ShortAudioListRepeatsUntilTheLength) {
    std::vector<ClipTiming> clips{{s(10), 0, 0}, {s(10), 0, 0}};
    auto p = placeClips(clips, {s(4), s(3)});
    ASSERT_EQ(p.audio.size(), 6u);
    const int entries[6] = {0, 1, 0, 1, 0, 1};
    const double stops[6] = {4, 7, 11, 14, 18, 20};
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(p.audio[k].entry, entries[k]);
        EXPECT_EQ(p.audio[k].stop, s(stops[k]));
        EXPECT_EQ(p.audio[k].start, k == 0 ? 0 : p.audio[k - 1].stop);
    }
}

TEST(ClipPlacement, LongFirstAudioEntryGivesOneSegment) {
    std::vector<ClipTiming> clips{{s(5), 0, 0}};
    auto p = placeClips(clips, {s(9), s(2)});
    ASSERT_EQ(p.audio.size(), 1u);
    EXPECT_EQ(p.audio[0].stop, s(5));
}

TEST(ClipPlacement, EmptyAudioEntriesDoNotRepeatForever) {
    std::vector<ClipTiming> clips{{s(5), 0, 0}};
    auto p = placeClips(clips, {0, 0});
    EXPECT_EQ(p.audio.size(), 2u);
    EXPECT_TRUE(placeClips(clips, {}).audio.empty());
    EXPECT_TRUE(placeClips({}, {}).clips.empty());
}
