// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a preview's render delivers: pictures to the video renderer (converted to RGB on
// the render's picture thread, ahead of their time), sound to the sound device. Its end
// waits until the last of the sound has been heard, so that the end of the stream is
// announced when playback ends.
#include <QImage>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <utility>

#include "media/core/ffmpeg_ptr.h"
#include "media/render/render_sink.h"

class PreviewClock;
class SoundOutput;
class VideoRenderer;

class PreviewSink : public media::render::RenderSink {
public:
    // Either renderer may be null: what would go to it is not played.
    PreviewSink(int videoGroup, VideoRenderer* video, int audioGroup, SoundOutput* sound,
                PreviewClock& clock, media::Ticks length);

    void prepareVideo(int group, const media::Frame& frame) override;
    media::Status writeVideo(int group, const media::Frame& frame) override;
    bool showsPicturesOnTime() const override { return true; }
    media::Status writeAudio(int group, const media::render::AudioBlock& block) override;
    media::Status finish() override;

    static constexpr std::chrono::seconds kStandingClockLimit{2};

    // Interface thread, before the render is stopped: ends a wait in finish().
    void interrupt(bool on) { interrupted_ = on; }

    // The picture as the window shows it. Any thread.
    QImage toImage(const media::Frame& frame);

private:
    // The picture of `time` if it was prepared; forgets those before it.
    QImage takePrepared(media::Ticks time);

    const int videoGroup_, audioGroup_;
    VideoRenderer* video_;
    SoundOutput* sound_;
    PreviewClock& clock_;
    const media::Ticks length_;
    // The converter, shared by the render's picture thread (which prepares) and its delivery
    // thread (which converts a picture that was not prepared).
    std::mutex convertMutex_;
    media::av::SwsPtr sws_;
    // Pictures converted ahead of their writeVideo, in time order.
    std::mutex preparedMutex_;
    std::deque<std::pair<media::Ticks, QImage>> prepared_;
    std::atomic<bool> interrupted_{false};
};
