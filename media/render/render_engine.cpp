// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/render/render_engine.h"

#include <algorithm>
#include <chrono>

namespace media::render {
namespace {

Status notConnected() {
    return {Status::kUnexpected, "The render engine is not connected to a timeline."};
}

}  // namespace

RenderEngine::~RenderEngine() {
    stop();
}

Status RenderEngine::setTimelineObject(std::shared_ptr<Timeline> timeline) {
    if (!timeline) return Status::invalidArg("No timeline.");
    stop();
    timeline_ = std::move(timeline);
    connected_ = false;
    return Status::ok();
}

Status RenderEngine::connectFrontEnd() {
    if (!timeline_) return {Status::kUnexpected, "The render engine has no timeline."};
    stop();
    Status s = makeRenderPlan(*timeline_, plan_);
    if (!s) return s;
    if (plan_.groups.empty()) return Status::invalidArg("The timeline has no group.");
    audioFormats_.clear();
    for (const auto& g : plan_.groups) audioFormats_.push_back(g.type.audio);
    leftOut_.assign(plan_.groups.size(), {});
    position_ = 0;
    connected_ = true;
    return Status::ok();
}

Status RenderEngine::outputInfo(int group, OutputInfo& out) const {
    out = {};
    if (!connected_) return notConnected();
    if (group < 0 || group >= outputCount())
        return Status::invalidArg("No output " + std::to_string(group) + ".");
    const GroupPlan& g = plan_.groups[static_cast<std::size_t>(group)];
    out.kind = g.type.kind;
    out.length = plan_.length;
    if (g.type.kind == MediaKind::Video) {
        out.video = g.type.video;
        const FrameTimes times(g.fps);
        out.fps = times.fps();
        out.fpsNum = times.rate().num;
        out.fpsDen = times.rate().den;
        out.frameCount = times.countBefore(plan_.length);
    } else {
        out.audio = audioFormats_[static_cast<std::size_t>(group)];
        out.sampleCount = sampleAt(plan_.length, out.audio.sampleRate);
    }
    return Status::ok();
}

Status RenderEngine::setAudioFormat(int group, const AudioFormat& format) {
    if (!connected_) return notConnected();
    if (group < 0 || group >= outputCount() ||
        plan_.groups[static_cast<std::size_t>(group)].type.kind != MediaKind::Audio)
        return Status::invalidArg("Output " + std::to_string(group) + " is not sound.");
    if (format.sampleRate < 8000 || format.sampleRate > 192000 || format.channels < 1 ||
        format.channels > 8)
        return Status::invalidArg("Unsupported audio format.");
    if (running_) return {Status::kUnexpected, "The render is running."};
    audioFormats_[static_cast<std::size_t>(group)] = format;
    return Status::ok();
}

Status RenderEngine::leaveOutFrames(int group, FrameRanges frames) {
    if (!connected_) return notConnected();
    if (group < 0 || group >= outputCount() ||
        plan_.groups[static_cast<std::size_t>(group)].type.kind != MediaKind::Video)
        return Status::invalidArg("Output " + std::to_string(group) + " is not pictures.");
    if (running_) return {Status::kUnexpected, "The render is running."};
    leftOut_[static_cast<std::size_t>(group)] = std::move(frames);
    return Status::ok();
}

void RenderEngine::setSink(std::shared_ptr<RenderSink> sink) {
    sink_ = std::move(sink);
}
void RenderEngine::setClock(std::function<Ticks()> clock) {
    externalClock_ = std::move(clock);
}

bool RenderEngine::realTime() const {
    if (!sink_) return false;
    // The picture decides; a timeline of sound alone plays in real time when its groups do.
    bool anyVideo = false, videoPreview = false, anyPreview = false;
    for (const auto& g : plan_.groups) {
        anyPreview = anyPreview || g.previewMode;
        if (g.type.kind == MediaKind::Video) {
            anyVideo = true;
            videoPreview = videoPreview || g.previewMode;
        }
    }
    return anyVideo ? videoPreview : anyPreview;
}

Ticks RenderEngine::clockNow() const {
    return externalClock_ ? externalClock_() : clock_.now();
}

bool RenderEngine::late(const FrameTimes& times, std::int64_t k) const {
    if (!externalClock_ && !clock_.running()) return false;
    return clockNow() > times.at(k) + 2 * times.interval();
}

Status RenderEngine::startPipelines(Ticks position) {
    outputs_.clear();
    outputs_.resize(plan_.groups.size());
    stopping_ = false;
    reported_ = false;
    const bool rt = realTime();
    auto note = [this](const std::string& text) {
        events_.post({kEventStreamErrorStillPlaying, Status(1, text)});
    };
    for (std::size_t i = 0; i < plan_.groups.size(); ++i) {
        GroupPlan g = plan_.groups[i];
        if (g.type.kind == MediaKind::Video) {
            FrameTimes times(g.fps);
            VideoPipeline::RealTime realTime;
            if (rt) {
                realTime.skip = [this, times](std::int64_t k) { return late(times, k); };
                realTime.prepare = [this, i](const Frame& f) {
                    sink_->prepareVideo(static_cast<int>(i), f);
                };
            }
            outputs_[i].video = std::make_unique<VideoPipeline>(
                g, plan_.length, times.firstAtOrAfter(position), std::move(realTime), note,
                leftOut_[i]);
        } else {
            g.type.audio = audioFormats_[i];
            outputs_[i].audio = std::make_unique<AudioPipeline>(
                g, plan_.length, sampleAt(position, g.type.audio.sampleRate), note);
        }
    }
    return Status::ok();
}

void RenderEngine::stopPipelines() {
    outputs_.clear();
}

Status RenderEngine::run() {
    if (!connected_) return notConnected();
    {
        std::lock_guard lock(stateMutex_);
        if (running_) {
            if (paused_) {
                paused_ = false;
                showOneFrame_ = false;
                clock_.start();
                stateChanged_.notify_all();
            }
            return Status::ok();
        }
    }
    Status s = startPipelines(position_);
    if (!s) return s;
    {
        std::lock_guard lock(stateMutex_);
        running_ = true;
        clock_.pause();
        clock_.set(position_);
    }
    if (sink_) delivery_ = std::thread([this] { deliver(); });
    return Status::ok();
}

Status RenderEngine::pause() {
    if (!connected_) return notConnected();
    bool start = false;
    {
        std::lock_guard lock(stateMutex_);
        if (paused_) return Status::ok();
        paused_ = true;
        clock_.pause();
        start = !running_;
        showOneFrame_ = start;  // paused from a stop: show where the render stands
        stateChanged_.notify_all();
    }
    if (start) {
        Status s = startPipelines(position_);
        if (!s) return s;
        {
            std::lock_guard lock(stateMutex_);
            running_ = true;
            clock_.set(position_);
        }
        if (sink_) delivery_ = std::thread([this] { deliver(); });
    }
    return Status::ok();
}

Status RenderEngine::seek(Ticks t) {
    if (!connected_) return notConnected();
    t = std::clamp<Ticks>(t, 0, plan_.length);
    bool wasRunning, wasPaused;
    {
        std::lock_guard lock(stateMutex_);
        wasRunning = running_;
        wasPaused = paused_;
    }
    stop();
    position_ = t;
    clock_.set(t);
    if (!wasRunning) return Status::ok();
    if (wasPaused) return pause();
    return run();
}

Status RenderEngine::stop() {
    {
        std::lock_guard lock(stateMutex_);
        stopping_ = true;
        stateChanged_.notify_all();
    }
    // Closing the pipelines' queues first wakes a delivery thread that waits on them.
    for (auto& o : outputs_) {
        if (o.video) o.video->stop();
        if (o.audio) o.audio->stop();
    }
    if (delivery_.joinable()) delivery_.join();
    stopPipelines();
    std::lock_guard lock(stateMutex_);
    running_ = paused_ = showOneFrame_ = false;
    clock_.pause();
    return Status::ok();
}

void RenderEngine::scrapIt() {
    stop();
    plan_ = {};
    connected_ = false;
}

void RenderEngine::failed(const Status& s) {
    if (s.code() == Status::kAborted && stopping_) return;  // a stop, not an error
    if (!reported_.exchange(true)) events_.post({kEventErrorAbort, s});
}

void RenderEngine::outputEnded(std::size_t group) {
    outputs_[group].ended = true;
    for (const auto& o : outputs_)
        if (!o.ended) return;
    if (!reported_.exchange(true)) events_.post({kEventComplete, {}});
}

Status RenderEngine::nextVideoFrame(int group, Frame& out) {
    out = Frame();
    if (group < 0 || group >= static_cast<int>(outputs_.size()) ||
        !outputs_[static_cast<std::size_t>(group)].video)
        return Status::invalidArg("Output " + std::to_string(group) +
                                  " is not a running video output.");
    if (sink_) return {Status::kUnexpected, "The render delivers to its sink."};
    Output& o = outputs_[static_cast<std::size_t>(group)];
    if (o.ended) return {kEndOfStream, "The end of the video."};
    bool end = false;
    Status s = o.video->next(out, end);
    if (!s) {
        failed(s);
        return s;
    }
    if (end) {
        outputEnded(static_cast<std::size_t>(group));
        return {kEndOfStream, "The end of the video."};
    }
    return Status::ok();
}

Status RenderEngine::readAudio(int group, int count, AudioBlock& out) {
    out = {};
    if (group < 0 || group >= static_cast<int>(outputs_.size()) ||
        !outputs_[static_cast<std::size_t>(group)].audio)
        return Status::invalidArg("Output " + std::to_string(group) +
                                  " is not a running sound output.");
    if (sink_) return {Status::kUnexpected, "The render delivers to its sink."};
    Output& o = outputs_[static_cast<std::size_t>(group)];
    const std::size_t channels =
        static_cast<std::size_t>(audioFormats_[static_cast<std::size_t>(group)].channels);
    out.samples.assign(channels, {});
    bool first = true;
    while (count > 0) {
        if (o.pendingOffset >= static_cast<std::size_t>(o.pending.size())) {
            if (o.ended) break;
            bool end = false;
            Status s = o.audio->next(o.pending, end);
            if (!s) {
                failed(s);
                return s;
            }
            o.pendingOffset = 0;
            if (end) {
                outputEnded(static_cast<std::size_t>(group));
                break;
            }
            continue;
        }
        if (first) out.first = o.pending.first + static_cast<std::int64_t>(o.pendingOffset);
        first = false;
        const std::size_t take =
            std::min(static_cast<std::size_t>(count),
                     static_cast<std::size_t>(o.pending.size()) - o.pendingOffset);
        for (std::size_t c = 0; c < channels; ++c) {
            const auto& from = o.pending.samples[c];
            out.samples[c].insert(
                out.samples[c].end(), from.begin() + static_cast<std::ptrdiff_t>(o.pendingOffset),
                from.begin() + static_cast<std::ptrdiff_t>(o.pendingOffset + take));
        }
        o.pendingOffset += take;
        count -= static_cast<int>(take);
    }
    if (out.size() == 0 && o.ended) return {kEndOfStream, "The end of the sound."};
    return Status::ok();
}

void RenderEngine::deliver() {
    Status s = realTime() ? deliverRealTime() : deliverAll();
    if (stopping_) return;
    if (s) s = sink_->finish();
    if (!s) {
        failed(s);
        return;
    }
    if (!reported_.exchange(true)) events_.post({kEventComplete, {}});
}

struct RenderEngine::Head {
    bool present = false, done = false;
    Frame frame;
    AudioBlock block;
    Ticks time = 0;
};

Status RenderEngine::nextInTimeOrder(std::vector<Head>& heads, std::size_t& pick) {
    pick = heads.size();
    for (std::size_t i = 0; i < heads.size(); ++i) {
        Head& h = heads[i];
        if (!h.present && !h.done) {
            bool end = false;
            Status s;
            if (outputs_[i].video) {
                s = outputs_[i].video->next(h.frame, end);
                h.time = h.frame.pts;
            } else {
                s = outputs_[i].audio->next(h.block, end);
                h.time = h.block.first * kTicksPerSecond / audioFormats_[i].sampleRate;
            }
            if (!s) return s;
            h.done = end;
            h.present = !end;
        }
        if (h.present && (pick == heads.size() || h.time < heads[pick].time)) pick = i;
    }
    return Status::ok();
}

Status RenderEngine::deliverAll() {
    std::vector<Head> heads(outputs_.size());
    for (;;) {
        if (stopping_) return {Status::kAborted, "The render was stopped."};
        std::size_t pick = 0;
        Status s = nextInTimeOrder(heads, pick);
        if (!s) return s;
        if (pick == heads.size()) return Status::ok();
        Head& h = heads[pick];
        s = outputs_[pick].video ? sink_->writeVideo(static_cast<int>(pick), h.frame)
                                 : sink_->writeAudio(static_cast<int>(pick), h.block);
        if (!s) return s;
        h.present = false;
        h.frame = Frame();
    }
}

}  // namespace media::render
