// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The render engine: connects to a timeline and produces one output per group, the
// pictures of a video group and the sound of an audio group. It renders either every frame
// as fast as it can (for a file) or in real time against a clock, dropping late frames (for
// a preview). The work runs on the engine's threads; the program hears of completion and
// errors through queued events and a notify callback, and never blocks on a render.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "media/render/audio_pipeline.h"
#include "media/render/engine_events.h"
#include "media/render/playback_clock.h"
#include "media/render/render_plan.h"
#include "media/render/render_sink.h"
#include "media/render/video_pipeline.h"

namespace media::render {

struct OutputInfo {
    MediaKind kind = MediaKind::None;
    VideoFormat video;             // video: the frame size
    double fps = 0.0;              // video: frames per second
    int fpsNum = 0, fpsDen = 1;    // video: the same as a fraction, for a writer's time base
    std::int64_t frameCount = 0;   // video: frames in the whole output
    AudioFormat audio;             // audio: the sample format
    std::int64_t sampleCount = 0;  // audio: samples per channel in the whole output
    Ticks length = 0;              // the timeline's length, the same for every output
};

class RenderEngine {
public:
    // Returned by the pulls once an output has given all it has.
    static constexpr std::int32_t kEndOfStream = 1;

    RenderEngine() = default;
    ~RenderEngine();
    RenderEngine(const RenderEngine&) = delete;
    RenderEngine& operator=(const RenderEngine&) = delete;

    Status setTimelineObject(std::shared_ptr<Timeline> timeline);
    std::shared_ptr<Timeline> getTimelineObject() const { return timeline_; }
    // Takes the engine's copy of the timeline; later changes to the timeline are not seen
    // until the front end is connected again.
    Status connectFrontEnd();

    int outputCount() const { return static_cast<int>(plan_.groups.size()); }
    Status outputInfo(int group, OutputInfo& out) const;
    // A writer that needs another sample rate or channel count asks before run().
    Status setAudioFormat(int group, const AudioFormat& format);

    // With a sink, run() delivers every output to it from engine threads; the sink must
    // not call back into the engine. A file render delivers from one thread, in time order.
    // In real-time mode (the video groups' preview mode on) each output has a thread of its
    // own, so that pictures late to come never hold back the sound: sound is handed over
    // ahead of the clock, a picture when its time comes, and a late picture is dropped.
    void setSink(std::shared_ptr<RenderSink> sink);
    // The clock of a real-time render, in ticks of timeline position (for example the
    // sound device's played position); without one the engine keeps its own.
    void setClock(std::function<Ticks()> clock);

    // Frames of a video group that the sink takes from elsewhere (copied from a clip): they
    // are neither rendered nor delivered. Set before run().
    Status leaveOutFrames(int group, FrameRanges frames);
    // The engine's copy of the timeline (valid once the front end is connected).
    const RenderPlan& plan() const { return plan_; }

    void setNotify(std::function<void()> notify) { events_.setNotify(std::move(notify)); }
    Status getEvent(EngineEvent& out, int timeoutMs) { return events_.getEvent(out, timeoutMs); }

    Status run();
    // Ends a render that could not start on the caller's own thread as a failed render
    // ends: an error event, once.
    void reportFailure(const Status& s) { failed(s); }
    // Real time only: holds the picture, keeps the position.
    Status pause();
    // Moves to timeline time t (the next frame delivered is the one shown at t). Paused, the
    // frame at t is delivered at once so that it can be shown.
    Status seek(Ticks t);
    // Stops every engine thread before it returns; the file keeps what it was given.
    Status stop();
    // Stops and forgets the timeline copy.
    void scrapIt();
    bool realTime() const;

    // The pull side, without a sink. Each output is pulled from one thread at a time, and
    // never while stop() runs. The next frame of a video group, in order:
    Status nextVideoFrame(int group, Frame& out);
    // Up to `count` samples of an audio group (fewer only at its end).
    Status readAudio(int group, int count, AudioBlock& out);

private:
    struct Output {
        std::unique_ptr<VideoPipeline> video;
        std::unique_ptr<AudioPipeline> audio;
        AudioBlock pending;  // audio taken from the pipeline and not yet read
        std::size_t pendingOffset = 0;
        bool ended = false;
    };

    struct Head;  // the next item of one output, for delivery in time order
    // Fills every empty head and picks the earliest; pick == heads.size() when all ended.
    Status nextInTimeOrder(std::vector<Head>& heads, std::size_t& pick);
    Status startPipelines(Ticks position);
    void stopPipelines();
    void deliver();
    Status deliverAll();
    // Real time, in render_engine_real_time.cpp.
    enum class ClockWait { Due, ShowNow, Stopped };
    Status deliverRealTime();
    Status deliverPicturesRealTime(std::size_t group);
    Status deliverSoundRealTime(std::size_t group);
    ClockWait waitForClock(Ticks due, bool picture);
    void firstItemReady();
    void outputEnded(std::size_t group);
    void failed(const Status& s);
    Ticks clockNow() const;
    bool late(const FrameTimes& times, std::int64_t k) const;

    std::shared_ptr<Timeline> timeline_;
    RenderPlan plan_;
    bool connected_ = false;
    std::vector<AudioFormat> audioFormats_;
    std::vector<FrameRanges> leftOut_;
    std::shared_ptr<RenderSink> sink_;
    std::function<Ticks()> externalClock_;
    EventQueue events_;

    std::vector<Output> outputs_;
    std::thread delivery_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> reported_{false};   // completion or an error was posted
    std::atomic<bool> abandoned_{false};  // a real-time output failed: the others stop too
    std::mutex stateMutex_;
    std::condition_variable stateChanged_;
    bool running_ = false, paused_ = false, showOneFrame_ = false;
    std::size_t outputsReady_ = 0;  // real time: outputs whose first item is ready
    Ticks position_ = 0;
    PlaybackClock clock_;
};

}  // namespace media::render
