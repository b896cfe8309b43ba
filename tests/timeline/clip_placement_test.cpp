#include <gtest/gtest.h>

#include "timeline/clip_placement.h"

using timeline::ClipTiming;
using timeline::placeClips;
using timeline::Ticks;

namespace {

constexpr Ticks s(double seconds) { return static_cast<Ticks>(seconds * 10'000'000); }

std::vector<Ticks> durationsOf(const std::vector<ClipTiming>& clips) {
    std::vector<Ticks> d;
    for (const auto& c : clips) d.push_back(c.duration);
    return d;
}

}  // namespace

TEST(ClipPlacement, SingleClipWithoutTransitionCoversItsLength) {
    std::vector<ClipTiming> clips{{s(7), 0, 0}};
    auto p = placeClips(clips, durationsOf(clips));
    EXPECT_EQ(p.length, s(7));
    ASSERT_EQ(p.clips.size(), 1u);
    EXPECT_EQ(p.clips[0].start, 0);
    EXPECT_EQ(p.clips[0].stop, s(7));
    EXPECT_FALSE(p.clips[0].hasTransition());
    EXPECT_FALSE(p.clips[0].transitionTooLong);
    ASSERT_EQ(p.audio.size(), 1u);
    EXPECT_EQ(p.audio[0].start, 0);
    EXPECT_EQ(p.audio[0].stop, s(7));
}

TEST(ClipPlacement, SingleClipIsCutAtTheLengthAndKeepsItsTransition) {
    std::vector<ClipTiming> clips{{s(10), s(2), 3}};
    auto p = placeClips(clips, durationsOf(clips));
    EXPECT_EQ(p.clips[0].start, 0);
    EXPECT_EQ(p.clips[0].stop, s(10));
    ASSERT_TRUE(p.clips[0].hasTransition());
    EXPECT_EQ(p.clips[0].transitionStart, 0);
    EXPECT_EQ(p.clips[0].transitionStop, s(2));
}

TEST(ClipPlacement, ClipsOverlapByTheirTransitionsAndSoundLiesEndToEnd) {
    std::vector<ClipTiming> clips{{s(10), s(2), 3}, {s(10), s(2), 3}, {s(10), s(2), 3}};
    auto p = placeClips(clips, durationsOf(clips));
    EXPECT_EQ(p.length, s(30));
    const Ticks video[3][2] = {{0, s(11)}, {s(9), s(21)}, {s(19), s(30)}};
    const Ticks trans[3][2] = {{0, s(2)}, {s(9), s(11)}, {s(19), s(21)}};
    ASSERT_EQ(p.audio.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(p.clips[i].start, video[i][0]) << i;
        EXPECT_EQ(p.clips[i].stop, video[i][1]) << i;
        EXPECT_EQ(p.clips[i].transitionStart, trans[i][0]) << i;
        EXPECT_EQ(p.clips[i].transitionStop, trans[i][1]) << i;
        EXPECT_EQ(p.audio[i].entry, i);
        EXPECT_EQ(p.audio[i].start, s(10 * i));
        EXPECT_EQ(p.audio[i].stop, s(10 * (i + 1)));
    }
}

TEST(ClipPlacement, DifferentTransitionDurations) {
    std::vector<ClipTiming> clips{{s(10), s(2), 3}, {s(10), s(4), 5}};
    auto p = placeClips(clips, durationsOf(clips));
    EXPECT_EQ(p.clips[0].stop, s(11));
    EXPECT_EQ(p.clips[1].start, s(9));
    EXPECT_EQ(p.clips[1].stop, s(20));
    EXPECT_EQ(p.clips[1].transitionStart, s(9));
    EXPECT_EQ(p.clips[1].transitionStop, s(13));
    EXPECT_EQ(p.clips[1].transitionIndex, 5);
}

TEST(ClipPlacement, ShortFirstClipRefusesItsTransitionAndTheNextStartsAtZero) {
    std::vector<ClipTiming> clips{{s(1), s(4), 3}, {s(10), s(4), 3}};
    auto p = placeClips(clips, durationsOf(clips));
    EXPECT_EQ(p.length, s(11));
    EXPECT_EQ(p.clips[0].start, 0);
    EXPECT_EQ(p.clips[0].stop, s(3));
    EXPECT_TRUE(p.clips[0].transitionTooLong);
    EXPECT_FALSE(p.clips[0].hasTransition());
    EXPECT_EQ(p.clips[1].start, 0);
    EXPECT_EQ(p.clips[1].stop, s(11));
    ASSERT_TRUE(p.clips[1].hasTransition());
    EXPECT_EQ(p.clips[1].transitionStart, 0);
    EXPECT_EQ(p.clips[1].transitionStop, s(4));
}

TEST(ClipPlacement, LastClipWithoutTransitionLeavesTheEndToTheSound) {
    std::vector<ClipTiming> clips{{s(10), s(2), 3}, {s(10), 0, 0}};
    auto p = placeClips(clips, durationsOf(clips));
    EXPECT_EQ(p.clips[0].stop, s(11));
    EXPECT_EQ(p.clips[1].start, s(9));
    EXPECT_EQ(p.clips[1].stop, s(19));
    EXPECT_EQ(p.audio.back().stop, s(20));
}

TEST(ClipPlacement, HalfOfAnOddFirstTransitionTruncatesTowardZero) {
    std::vector<ClipTiming> clips{{s(10), s(1), 3}, {s(10), s(1), 3}};
    auto p = placeClips(clips, durationsOf(clips));
    EXPECT_EQ(p.clips[0].stop, s(10.5));  // c starts at -5,000,000
    EXPECT_EQ(p.clips[1].start, s(9.5));
    // An odd tick count: -(7 / 2) is -3, not -4.
    std::vector<ClipTiming> odd{{100, 7, 3}};
    EXPECT_EQ(placeClips(odd, {100}).clips[0].stop, 100);
    std::vector<ClipTiming> odd2{{100, 7, 3}, {100, 7, 3}};
    EXPECT_EQ(placeClips(odd2, {100, 100}).clips[0].stop, 104);
    EXPECT_EQ(placeClips(odd2, {100, 100}).clips[1].start, 97);
}

TEST(ClipPlacement, ALongerFirstTransitionStartsTheSecondClipEarlier) {
    std::vector<ClipTiming> clips{{s(10), s(3), 3}, {s(10), s(2), 3}, {s(10), s(2), 3}};
    auto p = placeClips(clips, durationsOf(clips));
    EXPECT_EQ(p.clips[0].stop, s(11.5));
    EXPECT_EQ(p.clips[1].start, s(8.5));
}

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
