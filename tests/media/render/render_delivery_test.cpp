// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "clips.h"
#include "render_harness.h"

using namespace rendertest;
using namespace media;
using namespace media::render;

namespace {

// A sink that records what it is given, and can fail on a chosen frame as a full disk would.
class RecordingSink : public RenderSink {
public:
    Status writeVideo(int, const Frame& frame) override {
        std::lock_guard lock(mutex);
        if (failOnFrame >= 0 && static_cast<int>(frames.size()) == failOnFrame)
            return {Status::kDiskFull, "There is not enough space on the disk."};
        frames.push_back(frame);
        order.push_back(frame.pts);
        return Status::ok();
    }
    Status writeAudio(int, const AudioBlock& block) override {
        std::lock_guard lock(mutex);
        samples += block.size();
        order.push_back(block.first * kTicksPerSecond / 44100);
        return Status::ok();
    }
    Status finish() override {
        finished = true;
        return Status::ok();
    }
    std::mutex mutex;
    std::vector<Frame> frames;
    std::vector<Ticks> order;
    std::int64_t samples = 0;
    int failOnFrame = -1;
    std::atomic<bool> finished{false};
};

EngineEvent waitForEvent(RenderEngine& engine, int timeoutMs = 20000) {
    EngineEvent e;
    // Progress notes are not the end of a render.
    while (engine.getEvent(e, timeoutMs))
        if (e.code != kEventStreamErrorStillPlaying) return e;
    return {};
}

std::shared_ptr<Timeline> twoClips(bool preview) {
    auto red = solidClip("red.mp4", "red", 440), blue = solidClip("blue.mp4", "blue", 1000);
    auto tl = makeTimeline(160, 120, 10, {{red, 0, sec(1)}, {blue, sec(1), sec(2)}},
                           {{red, 0, sec(1)}, {blue, sec(1), sec(2)}});
    for (const auto& g : tl->groups()) g->setPreviewMode(preview);
    return tl;
}

}  // namespace

TEST(RenderDelivery, AFileRenderGivesEverythingInTimeOrderThenFinishesAndCompletes) {
    RenderEngine engine;
    auto sink = std::make_shared<RecordingSink>();
    std::atomic<int> notified{0};
    engine.setNotify([&] { ++notified; });
    ASSERT_TRUE(engine.setTimelineObject(twoClips(false)));
    ASSERT_TRUE(engine.connectFrontEnd());
    engine.setSink(sink);
    ASSERT_TRUE(engine.run());
    EngineEvent e = waitForEvent(engine);
    EXPECT_EQ(e.code, kEventComplete);
    EXPECT_TRUE(sink->finished);
    // The notice follows the event into the queue, from the engine's thread.
    for (int i = 0; i < 100 && notified.load() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GE(notified.load(), 1);
    EXPECT_EQ(sink->frames.size(), 20u);
    EXPECT_EQ(sink->samples, 88200);
    for (std::size_t i = 1; i < sink->order.size(); ++i)
        EXPECT_LE(sink->order[i - 1], sink->order[i]) << i;
    EngineEvent none;
    EXPECT_EQ(engine.getEvent(none, 0).code(), Status::kAborted) << "drained without waiting";
}

TEST(RenderDelivery, AFailingSinkEndsTheRenderWithItsErrorAndNoCompletion) {
    RenderEngine engine;
    auto sink = std::make_shared<RecordingSink>();
    sink->failOnFrame = 5;
    ASSERT_TRUE(engine.setTimelineObject(twoClips(false)));
    ASSERT_TRUE(engine.connectFrontEnd());
    engine.setSink(sink);
    ASSERT_TRUE(engine.run());
    EngineEvent e = waitForEvent(engine);
    EXPECT_EQ(e.code, kEventErrorAbort);
    EXPECT_EQ(e.status.code(), Status::kDiskFull);
    EXPECT_EQ(e.status.text(), "There is not enough space on the disk.");
    EXPECT_FALSE(sink->finished);
    EngineEvent more;
    EXPECT_FALSE(engine.getEvent(more, 200)) << "no completion after the error";
    engine.stop();
}

TEST(RenderDelivery, StopEndsARenderAtOnceAndNothingIsDeliveredAfterIt) {
    auto red = solidClip("red-long.mp4", "red", 440, 8.0);
    auto tl = makeTimeline(160, 120, 10, {{red, 0, sec(8)}}, {{red, 0, sec(8)}});
    for (const auto& g : tl->groups()) g->setPreviewMode(true);
    RenderEngine engine;
    auto sink = std::make_shared<RecordingSink>();
    ASSERT_TRUE(engine.setTimelineObject(tl));
    ASSERT_TRUE(engine.connectFrontEnd());
    engine.setSink(sink);
    ASSERT_TRUE(engine.run());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    engine.stop();
    std::size_t seen = sink->order.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(sink->order.size(), seen);
    EXPECT_LT(sink->frames.size(), 80u) << "a real-time render had not reached the end";
    EXPECT_FALSE(sink->finished);
    EngineEvent e;
    EXPECT_FALSE(engine.getEvent(e, 0)) << "a stop is neither completion nor error";
}

TEST(RenderDelivery, ARealTimeRenderFollowsTheClockAndCompletes) {
    RenderEngine engine;
    auto sink = std::make_shared<RecordingSink>();
    ASSERT_TRUE(engine.setTimelineObject(twoClips(true)));
    ASSERT_TRUE(engine.connectFrontEnd());
    engine.setSink(sink);
    ASSERT_TRUE(engine.realTime());
    auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(engine.run());
    EngineEvent e = waitForEvent(engine);
    auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(e.code, kEventComplete);
    // Played against the clock, a 2 s timeline cannot end sooner than its length.
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 1800);
    EXPECT_GT(sink->frames.size(), 10u);
    EXPECT_LE(sink->frames.size(), 20u);
    for (std::size_t i = 1; i < sink->frames.size(); ++i)
        EXPECT_GT(sink->frames[i].pts, sink->frames[i - 1].pts);
}

TEST(RenderDelivery, APausedSeekShowsTheFrameAtThatTime) {
    RenderEngine engine;
    auto sink = std::make_shared<RecordingSink>();
    ASSERT_TRUE(engine.setTimelineObject(twoClips(true)));
    ASSERT_TRUE(engine.connectFrontEnd());
    engine.setSink(sink);
    ASSERT_TRUE(engine.seek(sec(1.5)));
    ASSERT_TRUE(engine.pause());
    for (int i = 0; i < 200 && sink->frames.empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    {
        std::lock_guard lock(sink->mutex);
        ASSERT_EQ(sink->frames.size(), 1u) << "paused: one picture, then nothing";
        EXPECT_EQ(sink->frames[0].pts, sec(1.5));
        EXPECT_GT(colourAt(sink->frames[0], 80, 60)[2], 200);
    }
    ASSERT_TRUE(engine.seek(0));
    for (int i = 0; i < 200 && sink->frames.size() < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::lock_guard lock(sink->mutex);
    ASSERT_EQ(sink->frames.size(), 2u);
    EXPECT_EQ(sink->frames[1].pts, 0);
    EXPECT_GT(colourAt(sink->frames[1], 80, 60)[0], 200);
}

TEST(RenderDelivery, TheEngineRefusesToRunWithoutATimelineAndPullsNeedARunningOutput) {
    RenderEngine engine;
    EXPECT_TRUE(engine.run().failed());
    EXPECT_TRUE(engine.connectFrontEnd().failed());
    EXPECT_TRUE(engine.setTimelineObject(nullptr).failed());
    ASSERT_TRUE(engine.setTimelineObject(twoClips(false)));
    ASSERT_TRUE(engine.connectFrontEnd());
    Frame f;
    EXPECT_TRUE(engine.nextVideoFrame(0, f).failed()) << "not running yet";
    ASSERT_TRUE(engine.run());
    AudioBlock b;
    EXPECT_TRUE(engine.readAudio(0, 100, b).failed()) << "group 0 is video";
    EXPECT_TRUE(engine.nextVideoFrame(7, f).failed());
    ASSERT_TRUE(engine.nextVideoFrame(0, f));
    EXPECT_EQ(f.pts, 0);
    engine.stop();
}
