// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The played graph of a preview: the render engine in real-time mode with its default
// renderers, the video renderer widget and the sound device, and the clock they share.
// Created and used on the interface thread; the engine and the sound device run on their
// own threads.
#include <QPointer>
#include <memory>
#include <mutex>

#include "media/render/render_engine.h"
#include "output/preview_clock.h"
#include "output/preview_graph.h"
#include "output/video_renderer.h"

class PreviewSink;
class SoundOutput;

class EnginePreviewGraph : public preview::PreviewGraph,
                           private preview::MediaControl,
                           private preview::MediaEvents,
                           private preview::MediaSeeking,
                           private preview::VideoWindow,
                           private preview::BasicVideo,
                           private preview::BasicAudio {
public:
    // `engine` (not owned) is connected to its timeline and outlives the graph.
    explicit EnginePreviewGraph(media::render::RenderEngine& engine);
    ~EnginePreviewGraph() override;

    // Connects every output of the engine to its default renderer: the picture to a video
    // renderer (when `withPicture`; a result made only of sound has no window to show),
    // the sound to the default sound device when the machine has one.
    media::Status renderOutputPins(bool withPicture);

    preview::MediaControl* mediaControl() override { return this; }
    preview::MediaEvents* mediaEvents() override { return this; }
    preview::MediaSeeking* mediaSeeking() override { return this; }
    preview::VideoWindow* videoWindow() override { return video_ ? this : nullptr; }
    preview::BasicVideo* basicVideo() override { return video_ ? this : nullptr; }
    preview::BasicAudio* basicAudio() override { return this; }

    bool clockFollowsSound() const { return clock_ && clock_->followsSound(); }
    media::Ticks clockNow() const { return clock_ ? clock_->now() : 0; }
    VideoRenderer* videoRenderer() const { return video_.get(); }
    media::Ticks length() const { return length_; }
    std::int64_t frameCount() const { return frameCount_; }

private:
    media::Status run() override;
    media::Status pause() override;
    media::Status stop() override;
    media::Status setNotifyWindow(QObject* window, int message) override;
    media::Status getEvent(media::render::EngineEvent& out) override;
    media::Status setPositions(media::Ticks current) override;
    media::Status setRate(double rate) override;
    media::Status setOwner(QWidget* owner) override;
    media::Status setVisible(bool visible) override;
    media::Status visible(bool& out) const override;
    media::Status setWindowPosition(const QRect& rect) override;
    media::Status videoSize(QSize& out) const override;
    media::Status setVolume(double volume) override;

    // Stops the render; the pictures on their way are forgotten.
    void halt();

    media::render::RenderEngine& engine_;
    std::unique_ptr<SoundOutput> sound_;
    std::unique_ptr<PreviewClock> clock_;
    std::unique_ptr<VideoRenderer> video_;
    std::shared_ptr<PreviewSink> sink_;
    media::Ticks length_ = 0;
    std::int64_t frameCount_ = 0;

    std::mutex notifyMutex_;  // the engine's threads read the window to notify
    QPointer<QObject> notifyWindow_;
    int notifyMessage_ = 0;
};
