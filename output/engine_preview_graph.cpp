// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/engine_preview_graph.h"

#include <QCoreApplication>
#include <QEvent>

#include "output/preview_sink.h"
#include "output/sound_output.h"

using media::Status;
using media::render::OutputInfo;

EnginePreviewGraph::EnginePreviewGraph(media::render::RenderEngine& engine) : engine_(engine) {}

EnginePreviewGraph::~EnginePreviewGraph() {
    halt();
    engine_.setNotify(nullptr);
    engine_.setSink(nullptr);
    engine_.setClock(nullptr);
}

Status EnginePreviewGraph::renderOutputPins(bool withPicture) {
    int videoGroup = -1, audioGroup = -1;
    OutputInfo video, audio;
    for (int g = 0; g < engine_.outputCount(); ++g) {
        OutputInfo info;
        if (Status s = engine_.outputInfo(g, info); !s) return s;
        if (info.kind == media::MediaKind::Video && videoGroup < 0) {
            videoGroup = g;
            video = info;
        } else if (info.kind == media::MediaKind::Audio && audioGroup < 0) {
            audioGroup = g;
            audio = info;
        }
        length_ = info.length;
    }
    if (videoGroup < 0 && audioGroup < 0)
        return Status::invalidArg("The timeline has nothing to play.");
    if (audioGroup >= 0) sound_ = SoundOutput::open(audio.audio);
    clock_ = std::make_unique<PreviewClock>(sound_.get(), videoGroup >= 0 && withPicture);
    if (videoGroup >= 0 && withPicture) {
        frameCount_ = video.frameCount;
        const auto interval = static_cast<media::Ticks>(media::kTicksPerSecond / video.fps);
        PreviewClock* clock = clock_.get();
        video_ = std::make_unique<VideoRenderer>(QSize(video.video.width, video.video.height),
                                                 interval, [clock] { return clock->now(); });
    }
    sink_ = std::make_shared<PreviewSink>(videoGroup, video_.get(), audioGroup, sound_.get(),
                                          *clock_, length_);
    engine_.setSink(sink_);
    PreviewClock* clock = clock_.get();
    engine_.setClock([clock] { return clock->now(); });
    engine_.setNotify([this] {
        std::lock_guard lock(notifyMutex_);
        if (notifyWindow_)
            QCoreApplication::postEvent(notifyWindow_.data(),
                                        new QEvent(static_cast<QEvent::Type>(notifyMessage_)));
    });
    return Status::ok();
}

void EnginePreviewGraph::halt() {
    if (!sink_) return;
    sink_->interrupt(true);
    engine_.stop();
    sink_->interrupt(false);
    if (video_) video_->discardPending();
}

Status EnginePreviewGraph::run() {
    if (!sink_) return {media::Status::kUnexpected, "The preview has no renderers."};
    Status s = engine_.run();
    if (s) clock_->play();
    return s;
}

Status EnginePreviewGraph::pause() {
    if (!sink_) return {media::Status::kUnexpected, "The preview has no renderers."};
    clock_->pause();
    return engine_.pause();
}

Status EnginePreviewGraph::stop() {
    if (!sink_) return Status::ok();
    halt();
    clock_->pause();
    return Status::ok();
}

Status EnginePreviewGraph::setPositions(media::Ticks current) {
    if (!sink_) return {media::Status::kUnexpected, "The preview has no renderers."};
    halt();
    clock_->pause();
    clock_->seek(current);
    // Stopped, the engine only takes the position; the next run or pause starts there.
    return engine_.seek(current);
}

Status EnginePreviewGraph::setRate(double rate) {
    // The preview plays at its own speed only.
    if (rate != 1.0) return {media::Status::kNotImplemented, "Only normal speed is supported."};
    return Status::ok();
}

Status EnginePreviewGraph::setNotifyWindow(QObject* window, int message) {
    std::lock_guard lock(notifyMutex_);
    notifyWindow_ = window;
    notifyMessage_ = message;
    return Status::ok();
}

Status EnginePreviewGraph::getEvent(media::render::EngineEvent& out) {
    return engine_.getEvent(out, 0);
}

Status EnginePreviewGraph::setOwner(QWidget* owner) {
    video_->setParent(owner);
    return Status::ok();
}

Status EnginePreviewGraph::setVisible(bool visible) {
    video_->setVisible(visible);
    return Status::ok();
}

Status EnginePreviewGraph::visible(bool& out) const {
    out = video_->isVisible();
    return Status::ok();
}

Status EnginePreviewGraph::setWindowPosition(const QRect& rect) {
    if (rect.width() <= 0 || rect.height() <= 0)
        return Status::invalidArg("An empty video rectangle.");
    video_->setGeometry(rect);
    return Status::ok();
}

Status EnginePreviewGraph::videoSize(QSize& out) const {
    out = video_->nativeSize();
    return Status::ok();
}

Status EnginePreviewGraph::setVolume(double) {
    return Status::ok();
}
