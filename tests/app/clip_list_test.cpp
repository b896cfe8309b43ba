// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/clip_list.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

void expectAudioMirrorsClips(const ClipList& list) {
    ASSERT_EQ(list.audioSourceCount(), list.count());
    for (int i = 0; i < list.count(); ++i) {
        EXPECT_EQ(list.audioSource(i).fileName.view(), list.at(i).fileName.view()) << i;
        EXPECT_EQ(list.audioSource(i).duration, list.at(i).duration) << i;
    }
}

std::unique_ptr<ClipList> listOf(int n) {
    auto list = std::make_unique<ClipList>();
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(list->append("/c/" + std::to_string(i) + ".avi", (i + 1) * media::kTicksPerSecond, i % 47,
                               media::kTicksPerSecond),
                  ClipListResult::Ok);
    list->rebuildAudioSources();
    return list;
}

}  // namespace

TEST(ClipList, RemoveSwapAndClearKeepTheOrderAndTheAudioMirror) {
    auto list = listOf(5);
    list->remove(1);
    list->rebuildAudioSources();
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->at(1).fileName.view(), "/c/2.avi");
    expectAudioMirrorsClips(*list);

    list->swapWithNext(0);
    list->rebuildAudioSources();
    EXPECT_EQ(list->at(0).fileName.view(), "/c/2.avi");
    EXPECT_EQ(list->at(0).duration, 3 * media::kTicksPerSecond);  // all four fields travel together
    EXPECT_EQ(list->at(0).transitionIndex, 2);
    EXPECT_EQ(list->at(1).fileName.view(), "/c/0.avi");
    expectAudioMirrorsClips(*list);

    list->swapWithNext(3);  // no neighbour below the last clip
    list->remove(-1);
    list->remove(4);
    EXPECT_EQ(list->count(), 4);

    list->clear();
    list->rebuildAudioSources();
    EXPECT_TRUE(list->empty());
    EXPECT_EQ(list->audioSourceCount(), 0);
}

TEST(ClipList, NeverHoldsMoreThanAThousandClips) {
    auto list = listOf(kMaxClips);
    EXPECT_TRUE(list->full());
    EXPECT_EQ(list->append("/c/extra.avi", 1, 0, 0), ClipListResult::Full);
    EXPECT_EQ(list->count(), kMaxClips);
    EXPECT_EQ(list->at(kMaxClips - 1).fileName.view(), "/c/999.avi");
    EXPECT_NE(clipListResultText(ClipListResult::Full, "/c/extra.avi").find("1000"), std::string::npos);
}

TEST(ClipList, APathLongerThanItsFieldIsRefusedNeverCut) {
    auto owned = std::make_unique<ClipList>();
    ClipList& list = *owned;
    const std::string fits = "/" + std::string(kMaxClipPathBytes - 1, 'a');
    const std::string tooLong = fits + "b";
    EXPECT_EQ(list.append(fits, 1, 0, 0), ClipListResult::Ok);
    EXPECT_EQ(list.at(0).fileName.view().size(), 259u);
    EXPECT_EQ(list.append(tooLong, 1, 0, 0), ClipListResult::PathTooLong);
    // 130 two-byte characters are 260 bytes of UTF-8: too long although only 130 characters.
    std::string wide = "/";
    for (int i = 0; i < 130; ++i) wide += "\xc3\xa9";
    EXPECT_EQ(list.append(wide, 1, 0, 0), ClipListResult::PathTooLong);
    EXPECT_EQ(list.append(std::string("/a\0b", 4), 1, 0, 0), ClipListResult::PathTooLong);
    EXPECT_EQ(list.count(), 1);
    EXPECT_NE(clipListResultText(ClipListResult::PathTooLong, tooLong).find(tooLong), std::string::npos);
}

TEST(ClipList, TheDisplayNameIsTheLastPathComponent) {
    EXPECT_EQ(clipDisplayName("/home/u/Videos/holiday.part1.mp4"), "holiday.part1.mp4");
    EXPECT_EQ(clipDisplayName("clip.avi"), "clip.avi");
    EXPECT_EQ(clipDisplayName(""), "");
    EXPECT_EQ(clipDisplayName("/folder/"), "");
}
