// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preview's video renderer: a plain widget that paints the render's pictures with
// QPainter. Pictures are offered from the render's thread and reach the widget through its
// event queue, at most kMaxInFlight at a time: the render never waits for the interface
// thread, and when more come while it is held up, the one that has waited longest is
// dropped, so that the newest are there when it runs again. A picture may come up to a frame
// period early; the widget paints it when the clock reaches its time, so that only the
// interface thread has to be on time. A picture already more than one frame period behind
// the clock when it reaches the window, or when it is painted, is dropped, never shown late.
#include <QImage>
#include <QTimer>
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
    static constexpr int kMaxInFlight = 3;

    VideoRenderer(QSize nativeSize, media::Ticks frameInterval,
                  std::function<media::Ticks()> clock);

    QSize nativeSize() const { return nativeSize_; }

    // Any thread. `now`: shown as soon as it arrives, whatever the clock says (the picture
    // of a paused preview's new position).
    void offer(QImage picture, media::Ticks time, bool now = false);
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
        bool now = false;
    };
    void takePending();
    // Interface thread: makes the latest picture whose time has come the next to paint, and
    // waits for the time of the first one still early.
    void present();

    const QSize nativeSize_;
    const media::Ticks interval_;
    const std::function<media::Ticks()> clock_;

    mutable std::mutex mutex_;
    std::deque<Pending> pending_;
    PlaybackFigures figures_;

    // False when a picture of `time` is on time at clock `now`; else counts it as late.
    bool late(media::Ticks time, media::Ticks now);

    // Interface thread only: pictures that came before their time, in time order, the picture
    // waiting for its paint, and the one on screen.
    std::deque<Pending> early_;
    QTimer presentTimer_;
    QImage next_;
    media::Ticks nextTime_ = -1;
    QImage current_;
    media::Ticks currentTime_ = -1;
};
