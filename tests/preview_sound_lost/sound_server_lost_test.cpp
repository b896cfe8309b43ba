// SPDX-License-Identifier: GPL-3.0-or-later
// A preview whose sound server goes away while it plays. The sound system is set up once
// per process, so this is a test program of its own.
#include <gtest/gtest.h>

#include "support/media/sound_server_environment.h"
#include "support/media/test_media.h"
#include "support/qt/preview_window.h"

namespace {

using testmedia::SoundServerEnvironment;
using testqt::kSecond;
using testqt::runUntil;

[[maybe_unused]] auto* const soundServer =
    ::testing::AddGlobalTestEnvironment(new SoundServerEnvironment);

class PreviewSoundLost : public testqt::PreviewWindowTest {};

}  // namespace

TEST_F(PreviewSoundLost, TheSystemClockTakesOverWithoutAJumpAndThePreviewEnds) {
    CLIPFUSE_NEED_SOUND_SERVER();
    const std::string clip = testqt::madeClip(testmedia::scratchDir("preview_sound_lost"),
                                              "clip.mp4", testqt::smallClip(3.0));
    ASSERT_FALSE(clip.empty());

    add(clip, 3 * kSecond);
    add(clip, 3 * kSecond);
    press(ids::kPreview);
    ASSERT_TRUE(window_->jobState().previewing()) << lastMessage();
    EnginePreviewGraph* g = graph();
    ASSERT_TRUE(g->clockFollowsSound());
    ASSERT_TRUE(runUntil([&] { return g->clockNow() > kSecond; }));

    SoundServerEnvironment::server->kill();
    media::Ticks last = g->clockNow(), largestStep = 0;
    QElapsedTimer sinceLoss;
    sinceLoss.start();
    // The clock goes on, by the system clock, from where the sound was; the preview then
    // reaches its end and rewinds, or stops with a message that says why.
    const bool ended = runUntil(
        [&] {
            const media::Ticks now = g->clockNow();
            largestStep = std::max(largestStep, now - last);
            last = now;
            return player()->state() == PlayerState::Stopped || !boxes_.messages.empty();
        },
        10000);
    ASSERT_TRUE(ended) << "the preview froze when its sound server went away";
    EXPECT_FALSE(g->clockFollowsSound());
    EXPECT_LT(largestStep, kSecond / 2) << "the clock jumped";
    if (!boxes_.messages.empty())
        EXPECT_EQ(lastMessage().rfind("The preview stopped: ", 0), 0u) << lastMessage();
    else
        EXPECT_LT(sinceLoss.elapsed(), 8000);
    press(ids::kPreview);
    EXPECT_FALSE(window_->jobState().previewing());
}
