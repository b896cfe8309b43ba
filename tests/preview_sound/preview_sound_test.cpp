// SPDX-License-Identifier: GPL-3.0-or-later
// The preview's sound as a listener hears it: played into the null sink of a sound server
// of the tests' own and recorded there in real time. Every beep must come whole and at its
// place, and the sound must go on unbroken while pictures are late.
#include <gtest/gtest.h>

#include "media/render/video_pipeline.h"
#include "support/media/sink_recording.h"
#include "support/media/sound_server_environment.h"
#include "support/media/test_media.h"
#include "support/qt/preview_window.h"

namespace {

using testmedia::SoundServerEnvironment;
using testqt::kSecond;
using testqt::runUntil;

[[maybe_unused]] auto* const soundServer =
    ::testing::AddGlobalTestEnvironment(new SoundServerEnvironment);

constexpr int kFade = 3;

// Three-second clips whose sound is exact to the sample (PCM), so that any hole in what
// was heard is the preview's own.
testmedia::ClipSpec exactSound(const char* colour, int toneHz, double beepAt) {
    testmedia::ClipSpec recipe = testqt::smallClip(3.0);
    recipe.container = "mkv";
    recipe.audioCodec = "pcm_s16le";
    recipe.colour = colour;
    recipe.toneHz = toneHz;
    recipe.sampleRate = 48000;
    recipe.syncMarkAt = beepAt;
    return recipe;
}

std::string madeClip(const std::string& name, const testmedia::ClipSpec& recipe) {
    static const std::string dir = testmedia::scratchDir("preview_sound");
    return testqt::madeClip(dir, name, recipe);
}

class PreviewSound : public testqt::PreviewWindowTest {
protected:
    void SetUp() override { CLIPFUSE_NEED_SOUND_SERVER(); }

    // Plays the list to its end while the sink is recorded; `during` runs once the clock
    // has passed one second.
    std::vector<float> playRecorded(const std::function<void()>& during = {}) {
        testmedia::SinkRecording recording;
        EXPECT_TRUE(recording.running()) << "parec could not record the null sink";
        press(ids::kPreview);
        EXPECT_TRUE(window_->jobState().previewing()) << lastMessage();
        if (!window_->jobState().previewing()) return {};
        EXPECT_TRUE(graph()->clockFollowsSound());
        if (during) {
            EXPECT_TRUE(runUntil([&] { return graph()->clockNow() > kSecond; }));
            during();
        }
        EXPECT_TRUE(runUntil([&] { return player()->state() == PlayerState::Stopped; }, 30000));
        press(ids::kPreview);
        QThread::msleep(200);  // the sink's last buffer
        return recording.stop();
    }
};

}  // namespace

TEST_F(PreviewSound, EveryBeepIsHeardWholeAndAtItsPlaceInRealTime) {
    // Four clips joined by one-second Fades; each beeps for 0.2 s at 1.5 s into its sound.
    const char* colours[] = {"red", "blue", "green", "yellow"};
    for (int i = 0; i < 4; ++i) {
        const std::string clip =
            madeClip("beep" + std::to_string(i) + ".mkv", exactSound(colours[i], 1000, 1.5));
        ASSERT_FALSE(clip.empty());
        add(clip, 3 * kSecond, i == 0 ? 0 : kFade, i == 0 ? 0 : kSecond);
    }
    const std::vector<float> heard = playRecorded();
    const auto beeps = testmedia::soundSpans(heard, testmedia::SinkRecording::kRate);
    ASSERT_EQ(beeps.size(), 4u) << "a beep split by a hole, or one missing";
    for (std::size_t i = 0; i < beeps.size(); ++i) {
        EXPECT_NEAR(beeps[i].length(), 0.2, 0.01) << "beep " << i;
        // The sound is laid end to end: the beeps lie three seconds apart, in real time.
        EXPECT_NEAR(beeps[i].start - beeps[0].start, 3.0 * static_cast<double>(i), 0.04)
            << "beep " << i;
    }
}

TEST_F(PreviewSound, PicturesHeldUpForASecondNeitherStopTheSoundNorTheClock) {
    for (const char* colour : {"red", "blue", "green"}) {
        const std::string clip =
            madeClip(std::string(colour) + "-tone.mkv", exactSound(colour, 440, -1));
        ASSERT_FALSE(clip.empty());
        add(clip, 3 * kSecond);
    }
    media::Ticks before = 0, after = 0;
    const std::vector<float> heard = playRecorded([&] {
        before = graph()->clockNow();
        media::render::holdPicturesForTesting(std::chrono::milliseconds(1000));
        QElapsedTimer held;
        held.start();
        runUntil([&] { return held.elapsed() >= 1200; });
        after = graph()->clockNow();
    });
    EXPECT_GE(after - before, kSecond) << "the clock went on while no picture came";
    const auto sound = testmedia::soundSpans(heard, testmedia::SinkRecording::kRate);
    ASSERT_EQ(sound.size(), 1u) << "a hole in the sound";
    EXPECT_NEAR(sound[0].length(), 9.0, 0.05) << "nine seconds heard in nine seconds";
}
