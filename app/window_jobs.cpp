// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_jobs.h"

#include <memory>

void WindowJobs::run(Job job) {
    queue_.push_back(std::move(job));
    if (!running_) startNext();
}

void WindowJobs::startNext() {
    // A job that ends within its own start returns here: the loop, not recursion, takes the
    // next one.
    while (!running_ && !queue_.empty()) {
        Job job = std::move(queue_.front());
        queue_.pop_front();
        running_ = true;
        const unsigned serial = ++serial_;
        auto starting = std::make_shared<bool>(true);
        job([this, serial, starting] {
            if (serial != serial_ || !running_) return;
            running_ = false;
            if (!*starting) startNext();
        });
        *starting = false;
    }
}
