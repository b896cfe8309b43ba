// SPDX-License-Identifier: GPL-3.0-or-later
// Real-time delivery, for a preview: every output is delivered by a thread of its own and
// paced by the clock. The clock is usually the sound heard, so the sound must never wait
// for a picture: it is handed over well ahead of the clock, while each picture is handed
// over when its time comes and dropped when it comes too late. Where the machine cannot
// keep up, fewer pictures are shown at the right time, and the sound plays on unbroken.
#include <algorithm>
#include <chrono>
#include <thread>

#include "media/render/render_engine.h"

namespace media::render {
namespace {

// Sound is handed to the sink this far ahead of the clock: what the sound device holds, and
// more, so that the device can be topped up at once after the machine was busy elsewhere.
constexpr Ticks kAudioLead = kTicksPerSecond;
// Sound later than this is dropped, so that a render whose clock jumped catches up.
constexpr Ticks kAudioTooLate = kTicksPerSecond;

Status stopped() {
    return {Status::kAborted, "The render was stopped."};
}

}  // namespace

Status RenderEngine::deliverRealTime() {
    {
        std::lock_guard lock(stateMutex_);
        outputsReady_ = 0;
    }
    abandoned_ = false;
    std::vector<Status> results(outputs_.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < outputs_.size(); ++i)
        threads.emplace_back([this, i, &results] {
            Status s = outputs_[i].video ? deliverPicturesRealTime(i) : deliverSoundRealTime(i);
            if (!s && !stopping_) {
                // Said at once, and the other outputs give up rather than play on alone.
                failed(s);
                abandoned_ = true;
                std::lock_guard lock(stateMutex_);
                stateChanged_.notify_all();
            }
            results[i] = std::move(s);
        });
    for (auto& t : threads) t.join();
    for (auto& s : results)
        if (!s) return s;
    return Status::ok();
}

void RenderEngine::firstItemReady() {
    std::lock_guard lock(stateMutex_);
    ++outputsReady_;
    stateChanged_.notify_all();
}

RenderEngine::ClockWait RenderEngine::waitForClock(Ticks due, bool picture) {
    std::unique_lock lock(stateMutex_);
    for (;;) {
        if (stopping_ || abandoned_) return ClockWait::Stopped;
        if (picture && paused_ && showOneFrame_) {
            showOneFrame_ = false;
            return ClockWait::ShowNow;
        }
        // Paused, pictures wait; sound is still handed over as far ahead as the standing
        // clock allows, so that Play resumes with the device already fed.
        if (paused_ && picture) {
            stateChanged_.wait_for(lock, std::chrono::milliseconds(20));
            continue;
        }
        // Our own clock starts once every output has its first item, so that opening the
        // first decoders is not taken for lateness; an outside clock starts itself.
        if (!externalClock_ && !clock_.running() && outputsReady_ >= outputs_.size())
            clock_.start();
        const Ticks now = clockNow();
        if (now >= due && (externalClock_ || clock_.running())) return ClockWait::Due;
        const Ticks ahead = std::max<Ticks>(due - now, 0);
        stateChanged_.wait_for(
            lock, std::chrono::microseconds(std::clamp<Ticks>(ahead / 10, 500, 10'000)));
    }
}

Status RenderEngine::deliverPicturesRealTime(std::size_t group) {
    VideoPipeline& video = *outputs_[group].video;
    const Ticks interval = video.times().interval();
    const Ticks early = sink_->showsPicturesOnTime() ? interval : 0;
    bool first = true;
    for (;;) {
        Frame frame;
        bool end = false;
        if (Status s = video.next(frame, end); !s) return s;
        if (first) firstItemReady();
        first = false;
        if (end) return Status::ok();
        const ClockWait wait = waitForClock(frame.pts - early, true);
        if (wait == ClockWait::Stopped) return stopped();
        if (wait == ClockWait::Due && clockNow() > frame.pts + interval) continue;  // too late
        if (Status s = sink_->writeVideo(static_cast<int>(group), frame); !s) return s;
    }
}

Status RenderEngine::deliverSoundRealTime(std::size_t group) {
    AudioPipeline& sound = *outputs_[group].audio;
    const int rate = audioFormats_[group].sampleRate;
    bool first = true;
    for (;;) {
        AudioBlock block;
        bool end = false;
        if (Status s = sound.next(block, end); !s) return s;
        if (first) firstItemReady();
        first = false;
        if (end) return Status::ok();
        const Ticks time = block.first * kTicksPerSecond / rate;
        if (waitForClock(time - kAudioLead, false) == ClockWait::Stopped) return stopped();
        if (clockNow() > time + kAudioTooLate) continue;
        if (Status s = sink_->writeAudio(static_cast<int>(group), block); !s) return s;
    }
}

}  // namespace media::render
