// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/media_worker.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "media/core/input_file.h"

// What the worker's thread and the window's side share. The thread holds it as long as it
// runs, so the window's side may go at any time.
struct MediaWorker::Context::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Task> queue;
    bool running = false;  // a task is under way
    bool quit = false;
    bool finished = false;          // the thread has ended
    unsigned generation = 0;        // raised by every cancel
    std::atomic<bool> stop{false};  // the running task's reads give up
    // Lives on the window's thread; deliveries are queued calls on it. Emptied, under the
    // mutex, before it goes, so no delivery can reach it afterwards.
    QObject* receiver = nullptr;

    void run() {
        for (;;) {
            Task task;
            unsigned taskGeneration;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return quit || !queue.empty(); });
                if (quit) break;
                task = std::move(queue.front());
                queue.pop_front();
                running = true;
                stop = false;
                taskGeneration = generation;
            }
            {
                const media::ReadCancel cancel(stop);
                task(Context(shared(), taskGeneration));
            }
            {
                std::lock_guard lock(mutex);
                running = false;
            }
            changed.notify_all();
        }
        {
            std::lock_guard lock(mutex);
            finished = true;
        }
        changed.notify_all();
    }

    std::shared_ptr<Shared> shared() { return self.lock(); }
    std::weak_ptr<Shared> self;
};

void MediaWorker::Context::deliver(std::function<void()> onWindowThread) const {
    std::lock_guard lock(shared_->mutex);
    if (!shared_->receiver || shared_->generation != generation_) return;
    // The call is checked again when it runs: a cancel may come between.
    QMetaObject::invokeMethod(
        shared_->receiver,
        [shared = shared_, generation = generation_, call = std::move(onWindowThread)] {
            {
                std::lock_guard lock(shared->mutex);
                if (shared->generation != generation) return;
            }
            call();
        },
        Qt::QueuedConnection);
}

bool MediaWorker::Context::cancelled() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->generation != generation_ || shared_->quit;
}

MediaWorker::MediaWorker(std::chrono::milliseconds closeWait)
    : shared_(std::make_shared<Context::Shared>()), closeWait_(closeWait) {
    shared_->self = shared_;
    shared_->receiver = new QObject;
    std::thread([shared = shared_] { shared->run(); }).detach();
}

MediaWorker::~MediaWorker() {
    QObject* receiver;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->quit = true;
        shared_->stop = true;
        ++shared_->generation;
        shared_->queue.clear();
        receiver = shared_->receiver;
        shared_->receiver = nullptr;
    }
    shared_->changed.notify_all();
    delete receiver;  // its queued calls go with it
    // A task answers its cancel within milliseconds; one caught in a decoder's own loop is
    // left to end by itself rather than hold the window.
    std::unique_lock lock(shared_->mutex);
    shared_->changed.wait_for(lock, closeWait_, [&] { return shared_->finished; });
}

void MediaWorker::post(Task task) {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->queue.push_back(std::move(task));
    }
    shared_->changed.notify_all();
}

void MediaWorker::cancel() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->queue.clear();
        ++shared_->generation;
        shared_->stop = true;
    }
    shared_->changed.notify_all();
}

bool MediaWorker::busy() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->running || !shared_->queue.empty();
}
