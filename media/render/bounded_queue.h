// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace media::render {

// A queue between two pipeline threads. The producer waits while it is full, so a fast
// stage never runs more than `capacity` items ahead; close() wakes both sides at once,
// which is how a render is cancelled promptly.
template <class T>
class BoundedQueue {
public:
    explicit BoundedQueue(std::size_t capacity) : capacity_(capacity) {}

    // False when the queue was closed (the item is dropped).
    bool push(T item) {
        std::unique_lock lock(mutex_);
        notFull_.wait(lock, [&] { return closed_ || items_.size() < capacity_; });
        if (closed_) return false;
        items_.push_back(std::move(item));
        notEmpty_.notify_one();
        return true;
    }

    // Nothing once the queue is closed and empty (or closed and discarding).
    std::optional<T> pop() {
        std::unique_lock lock(mutex_);
        notEmpty_.wait(lock, [&] { return closed_ || !items_.empty(); });
        return takeLocked();
    }

    // Like pop(), without waiting.
    std::optional<T> tryPop() {
        std::lock_guard lock(mutex_);
        return takeLocked();
    }

    // Closing with `discard` drops what is queued (cancellation); without, the consumer
    // still gets what is queued (the end of a stream).
    void close(bool discard = true) {
        std::lock_guard lock(mutex_);
        closed_ = true;
        if (discard) items_.clear();
        notFull_.notify_all();
        notEmpty_.notify_all();
    }

    bool hasItem() const {
        std::lock_guard lock(mutex_);
        return !items_.empty();
    }

private:
    std::optional<T> takeLocked() {
        if (items_.empty()) return std::nullopt;
        std::optional<T> item(std::move(items_.front()));
        items_.pop_front();
        notFull_.notify_one();
        return item;
    }

    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable notFull_, notEmpty_;
    std::deque<T> items_;
    bool closed_ = false;
};

}  // namespace media::render
