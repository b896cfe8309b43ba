// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preview's video renderer: a plain widget that paints the render's pictures with
// QPainter. Pictures are offered from the render's thread and reach the widget through its
// event queue, at most kMaxInFlight at a time: the render never waits for the interface
// thread, and a picture that would wait longer is dropped. A picture already more than one
// frame period behind the clock when it reaches the window, or when it is painted, is
// dropped too, never shown late.
#include <QImage>
#include <QWidget>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "media/core/ticks.h"

// What a played preview showed, for the benchmark and the tests.
struct PlaybackFigures {
    std::int64_t shown = 0;          // pictures painted
    std::int64_t refused = 0;        // dropped before reaching the window (too many in flight)
    std::int64_t late = 0;           // dropped at the window, behind the clock
    media::Ticks largestOffset = 0;  // largest |clock - picture time| when a picture was painted
    std::optional<std::chrono::steady_clock::time_point> firstPicture;
    media::Ticks lastShownTime = -1;  // the time of the picture on screen
};

class VideoRenderer : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxInFlight = 2;

    VideoRenderer(QSize nativeSize, media::Ticks frameInterval,
                  std::function<media::Ticks()> clock);

    QSize nativeSize() const { return nativeSize_; }

    // Any thread. False when the picture was dropped.
    bool offer(QImage picture, media::Ticks time);
    // Interface thread: forgets the pictures still on their way (after a stop or a seek).
    void discardPending();

    PlaybackFigures figures() const;
    // The picture on screen, as painted (empty before the first), and its time.
    QImage currentPicture() const { return current_; }
    media::Ticks currentTime() const { return currentTime_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Pending {
        QImage picture;
        media::Ticks time;
    };
    void takePending();

    const QSize nativeSize_;
    const media::Ticks interval_;
    const std::function<media::Ticks()> clock_;

    mutable std::mutex mutex_;
    std::deque<Pending> pending_;
    PlaybackFigures figures_;

    // False when a picture of `time` is on time at clock `now`; else counts it as late.
    bool late(media::Ticks time, media::Ticks now);

    // Interface thread only: the picture waiting for its paint, and the one on screen.
    QImage next_;
    media::Ticks nextTime_ = -1;
    QImage current_;
    media::Ticks currentTime_ = -1;
};
