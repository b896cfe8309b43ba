// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/render/engine_events.h"

#include <chrono>

namespace media::render {

void EventQueue::setNotify(std::function<void()> notify) {
    std::lock_guard lock(mutex_);
    notify_ = std::move(notify);
}

void EventQueue::post(EngineEvent event) {
    std::function<void()> notify;
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
        notify = notify_;
    }
    posted_.notify_all();
    if (notify) notify();  // outside the lock: the program may drain the queue at once
}

Status EventQueue::getEvent(EngineEvent& out, int timeoutMs) {
    std::unique_lock lock(mutex_);
    if (timeoutMs > 0)
        posted_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                         [&] { return !events_.empty(); });
    if (events_.empty()) return {Status::kAborted, "No event."};
    out = std::move(events_.front());
    events_.pop_front();
    return Status::ok();
}

void EventQueue::clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
}

}  // namespace media::render
