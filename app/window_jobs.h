// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's media commands in the order they were given: reading back the kept list,
// then each adding command. A job gets a `done` to call, on the window's thread, when it has
// ended (at once or after its worker's answers came); the next job starts then. So the
// clips of a later command always follow those of an earlier one, however long a file
// takes to answer, and the window's thread never waits for any of them.
#include <deque>
#include <functional>

class WindowJobs {
public:
    using Done = std::function<void()>;
    using Job = std::function<void(Done done)>;

    // Starts `job` now when none runs, otherwise after the ones given before it.
    void run(Job job);
    bool idle() const { return !running_ && queue_.empty(); }
    // Forgets the jobs that have not started (the window closes); a running one's `done`
    // then ends nothing.
    void clear() { queue_.clear(); }

private:
    void startNext();

    std::deque<Job> queue_;
    bool running_ = false;
    unsigned serial_ = 0;  // the running job's; a `done` of an earlier one is ignored
};
