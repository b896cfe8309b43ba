// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/audio_encoding_thread.h"

#include <algorithm>

namespace media {

AudioEncodingThread::AudioEncodingThread(AudioEncoder& encoder, PacketHandler sink, int channels,
                                         int maxWaitingSamples)
    : encoder_(encoder),
      sink_(std::move(sink)),
      channels_(std::max(channels, 1)),
      maxWaitingSamples_(std::max(maxWaitingSamples, 1)) {
    thread_ = std::thread([this] { run(); });
}

AudioEncodingThread::~AudioEncodingThread() { cancel(); }

Status AudioEncodingThread::push(const float* const* planes, int count) {
    if (count < 0 || (count > 0 && !planes))
        return Status::invalidArg("No sound samples were given.");
    std::unique_lock lock(mutex_);
    if (closing_) return failure_ ? Status::fail("The sound was already finished.") : failure_;
    if (count == 0) return failure_;
    // A chunk larger than the limit is still taken once the queue is empty.
    changed_.wait(lock, [&] {
        return !failure_ || waitingSamples_ == 0 || waitingSamples_ + count <= maxWaitingSamples_;
    });
    if (!failure_) return failure_;
    Chunk chunk;
    if (!spare_.empty()) {
        chunk = std::move(spare_.back());
        spare_.pop_back();
    }
    lock.unlock();
    chunk.samples.resize(static_cast<std::size_t>(count) * static_cast<std::size_t>(channels_));
    for (int ch = 0; ch < channels_; ++ch)
        std::copy_n(planes[ch], count, chunk.samples.begin() + static_cast<std::ptrdiff_t>(ch) * count);
    chunk.count = count;
    lock.lock();
    waitingSamples_ += count;
    waiting_.push_back(std::move(chunk));
    changed_.notify_all();
    return Status::ok();
}

void AudioEncodingThread::run() {
    std::vector<const float*> planes(static_cast<std::size_t>(channels_));
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return closing_ || !waiting_.empty(); });
        if (waiting_.empty() || !failure_) return;  // closing, with nothing left to do
        Chunk chunk = std::move(waiting_.front());
        waiting_.pop_front();
        lock.unlock();
        for (int ch = 0; ch < channels_; ++ch)
            planes[static_cast<std::size_t>(ch)] =
                chunk.samples.data() + static_cast<std::ptrdiff_t>(ch) * chunk.count;
        Status st = encoder_.encode(planes.data(), chunk.count, sink_);
        lock.lock();
        waitingSamples_ -= chunk.count;
        spare_.push_back(std::move(chunk));
        if (!st && failure_) {
            failure_ = std::move(st);
            waiting_.clear();
            waitingSamples_ = 0;
        }
        changed_.notify_all();
    }
}

void AudioEncodingThread::stop(bool dropWaiting) {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        if (dropWaiting) {
            waiting_.clear();
            waitingSamples_ = 0;
        }
        changed_.notify_all();
    }
    if (thread_.joinable()) thread_.join();
}

Status AudioEncodingThread::finish() {
    stop(false);
    std::lock_guard lock(mutex_);
    return failure_;
}

void AudioEncodingThread::cancel() { stop(true); }

}  // namespace media
