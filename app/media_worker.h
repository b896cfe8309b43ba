// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A thread of its own for the media work the window asks for (measuring clips, reading the
// kept list, first pictures), so that the window's thread never waits on a file. Tasks run
// one after another, each under the worker's cancel: every read a task makes through the
// reading layer gives up within milliseconds of a cancel, even a read the file never
// answers. A task hands its answer back with deliver(), which runs it on the window's
// thread, and never once the worker is gone.
//
// Closing never waits long: the destructor cancels, waits at most `closeWait` for the task
// that runs, and otherwise leaves that thread to end on its own; it holds nothing of the
// window's.
#include <chrono>
#include <functional>
#include <memory>

class MediaWorker {
public:
    explicit MediaWorker(std::chrono::milliseconds closeWait = std::chrono::milliseconds(400));
    ~MediaWorker();
    MediaWorker(const MediaWorker&) = delete;
    MediaWorker& operator=(const MediaWorker&) = delete;

    // What a task may do from its thread.
    class Context {
    public:
        // Runs `onWindowThread` on the thread that made the worker, after the task's earlier
        // deliveries, unless the worker has gone or was cancelled since the task started.
        void deliver(std::function<void()> onWindowThread) const;
        bool cancelled() const;

    private:
        friend class MediaWorker;
        struct Shared;
        explicit Context(std::shared_ptr<Shared> shared, unsigned generation)
            : shared_(std::move(shared)), generation_(generation) {}
        std::shared_ptr<Shared> shared_;
        unsigned generation_;
    };
    using Task = std::function<void(const Context&)>;

    // Queues `task` after the ones already given.
    void post(Task task);
    // Drops the queued tasks and makes the running one give up; nothing they would still
    // deliver arrives. Does not wait.
    void cancel();
    // True while a task runs or waits (tests, and the window's close).
    bool busy() const;

private:
    std::shared_ptr<Context::Shared> shared_;
    std::chrono::milliseconds closeWait_;
};
