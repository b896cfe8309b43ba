// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/video_renderer.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

VideoRenderer::VideoRenderer(QSize nativeSize, media::Ticks frameInterval,
                             std::function<media::Ticks()> clock)
    : nativeSize_(nativeSize), interval_(frameInterval), clock_(std::move(clock)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks belong to the player's window, which owns this one.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    resize(nativeSize_);
    presentTimer_.setSingleShot(true);
    presentTimer_.setTimerType(Qt::PreciseTimer);
    connect(&presentTimer_, &QTimer::timeout, this, &VideoRenderer::present);
}

void VideoRenderer::offer(QImage picture, media::Ticks time, bool now) {
    {
        std::lock_guard lock(mutex_);
        if (static_cast<int>(pending_.size()) >= kMaxInFlight) {
            ++figures_.refused;
            pending_.pop_front();
        }
        pending_.push_back({std::move(picture), time, now});
        if (pending_.size() > 1) return;  // a call to take them is already queued
    }
    QMetaObject::invokeMethod(this, &VideoRenderer::takePending, Qt::QueuedConnection);
}

void VideoRenderer::discardPending() {
    std::lock_guard lock(mutex_);
    pending_.clear();
    early_.clear();
    presentTimer_.stop();
    next_ = QImage();
}

PlaybackFigures VideoRenderer::figures() const {
    std::lock_guard lock(mutex_);
    return figures_;
}

void VideoRenderer::takePending() {
    std::deque<Pending> arrived;
    {
        std::lock_guard lock(mutex_);
        arrived.swap(pending_);
    }
    for (Pending& p : arrived) {
        if (p.now) {
            early_.clear();
            next_ = std::move(p.picture);
            nextTime_ = p.time;
        } else {
            early_.push_back(std::move(p));
        }
    }
    present();
}

void VideoRenderer::present() {
    const media::Ticks now = clock_();
    while (!early_.empty() && early_.front().time <= now) {
        Pending p = std::move(early_.front());
        early_.pop_front();
        if (late(p.time, now)) continue;
        next_ = std::move(p.picture);
        nextTime_ = p.time;
    }
    // Painted now, not on a later pass of the event loop: the picture is due now.
    if (!next_.isNull()) repaint();
    if (early_.empty()) return;
    // The clock is the sound heard, which keeps pace with the wall clock; one that stands
    // (paused) is looked at again a little later.
    using TickDuration = std::chrono::duration<media::Ticks, std::ratio<1, media::kTicksPerSecond>>;
    const auto ahead = std::chrono::ceil<std::chrono::milliseconds>(
        TickDuration(early_.front().time - now));
    presentTimer_.start(std::clamp<std::chrono::milliseconds>(
        ahead, std::chrono::milliseconds(1), std::chrono::milliseconds(20)));
}

bool VideoRenderer::late(media::Ticks time, media::Ticks now) {
    if (now <= time + interval_) return false;
    std::lock_guard lock(mutex_);
    ++figures_.late;
    return true;
}

void VideoRenderer::paintEvent(QPaintEvent*) {
    // Painting can come late too (a busy interface thread): a picture whose time has passed
    // by then is dropped, and the one on screen stays.
    if (!next_.isNull()) {
        const media::Ticks now = clock_();
        if (!late(nextTime_, now)) {
            current_ = std::move(next_);
            currentTime_ = nextTime_;
            const media::Ticks offset = std::llabs(now - currentTime_);
            std::lock_guard lock(mutex_);
            ++figures_.shown;
            figures_.lastShownTime = currentTime_;
            if (!figures_.firstPicture) figures_.firstPicture = std::chrono::steady_clock::now();
            figures_.largestOffset = std::max(figures_.largestOffset, offset);
        }
        next_ = QImage();
    }
    QPainter painter(this);
    if (current_.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(rect(), current_);
}
