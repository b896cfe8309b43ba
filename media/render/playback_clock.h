// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <chrono>
#include <mutex>

#include "media/core/ticks.h"

namespace media::render {

// The position of a real-time render on the timeline: runs with the wall clock while
// playing, stands while paused. Read from several engine threads.
class PlaybackClock {
public:
    Ticks now() const {
        std::lock_guard lock(mutex_);
        return nowLocked();
    }
    bool running() const {
        std::lock_guard lock(mutex_);
        return running_;
    }
    void start() {
        std::lock_guard lock(mutex_);
        if (!running_) {
            since_ = std::chrono::steady_clock::now();
            running_ = true;
        }
    }
    void pause() {
        std::lock_guard lock(mutex_);
        base_ = nowLocked();
        running_ = false;
    }
    void set(Ticks position) {
        std::lock_guard lock(mutex_);
        base_ = position;
        since_ = std::chrono::steady_clock::now();
    }

private:
    Ticks nowLocked() const {
        if (!running_) return base_;
        auto elapsed = std::chrono::steady_clock::now() - since_;
        return base_ + std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() / 100;
    }
    mutable std::mutex mutex_;
    Ticks base_ = 0;
    std::chrono::steady_clock::time_point since_{};
    bool running_ = false;
};

}  // namespace media::render
