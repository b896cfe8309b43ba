// SPDX-License-Identifier: GPL-3.0-or-later
// A preview on a machine without a sound device: the system clock sets the pace, and every
// way of starting it (the start, Play after Pause, Play after Stop) moves it on.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/media/test_media.h"
#include "support/qt/preview_window.h"

namespace {

using testqt::kSecond;
using testqt::runUntil;

// No sound server to be found, whatever the machine has: set before the sound system
// first looks for one.
class NoSoundServer : public ::testing::Environment {
public:
    void SetUp() override { setenv("PULSE_SERVER", "unix:/nonexistent/clipfuse-test", 1); }
};
[[maybe_unused]] auto* const noSound = ::testing::AddGlobalTestEnvironment(new NoSoundServer);

class NoSoundDevice : public testqt::PreviewWindowTest {
protected:
    // Waits until the clock has moved `by` from where it stands now.
    bool clockMovesOn(media::Ticks by) {
        const media::Ticks from = graph()->clockNow();
        return runUntil([&] { return graph()->clockNow() >= from + by; }, 3000);
    }
    bool picturesMoveOn() {
        const media::Ticks from = graph()->videoRenderer()->currentTime();
        return runUntil([&] { return graph()->videoRenderer()->currentTime() > from; }, 3000);
    }
};

}  // namespace

TEST_F(NoSoundDevice, TheStartPlayAfterPauseAndPlayAfterStopAllMoveOn) {
    const std::string clip = testqt::madeClip(testmedia::scratchDir("preview_no_sound"), "clip.mp4",
                                              testqt::smallClip(4.0));
    ASSERT_FALSE(clip.empty());
    add(clip, 4 * kSecond);
    add(clip, 4 * kSecond);
    press(ids::kPreview);
    ASSERT_TRUE(window_->jobState().previewing()) << lastMessage();
    ASSERT_FALSE(graph()->clockFollowsSound());

    EXPECT_TRUE(clockMovesOn(kSecond / 2)) << "the start";
    EXPECT_TRUE(picturesMoveOn());

    player()->runCommand(playerids::kPause);
    ASSERT_EQ(player()->state(), PlayerState::Paused);
    const media::Ticks held = graph()->clockNow();
    QThread::msleep(300);
    EXPECT_LE(graph()->clockNow() - held, kSecond / 20) << "paused, the clock stands";
    player()->runCommand(playerids::kPlay);
    EXPECT_TRUE(clockMovesOn(kSecond / 2)) << "Play after Pause";
    EXPECT_TRUE(picturesMoveOn()) << "Play after Pause";

    player()->runCommand(playerids::kStop);
    ASSERT_EQ(player()->state(), PlayerState::Stopped);
    player()->runCommand(playerids::kPlay);
    EXPECT_TRUE(clockMovesOn(kSecond / 2)) << "Play after Stop";
    EXPECT_TRUE(picturesMoveOn()) << "Play after Stop";
    press(ids::kPreview);
}
