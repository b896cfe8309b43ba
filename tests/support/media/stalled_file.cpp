// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media/stalled_file.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "media/core/clip_reader.h"

namespace testmedia {

struct StalledFile::State {
    std::string path;
    int freeOpenings = 0;
    int freeReads = 0;
    bool stallOpen = false;
    int openings = 0;
    // Each opening has a reading thread of its own: its reads are counted by that thread.
    std::map<std::thread::id, int> reads;
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    int held = 0;
    media::ReadHook previous;
};

StalledFile::StalledFile(std::string path, int freeOpenings, Stall stall)
    : StalledFile(std::move(path), freeOpenings, 0, stall) {}

StalledFile::StalledFile(std::string path, int freeOpenings, int freeReads, Stall stall)
    : state_(std::make_shared<State>()) {
    state_->path = std::move(path);
    state_->freeOpenings = freeOpenings;
    state_->freeReads = freeReads;
    state_->stallOpen = stall == Stall::Open;
    // The hook holds the state: a reading thread still caught in it when this object is
    // gone finds it alive.
    state_->previous = media::setReadHook([state = state_](const std::string& p, bool opening) {
        if (p != state->path) return;
        std::unique_lock lock(state->mutex);
        if (opening) {
            ++state->openings;
            state->reads[std::this_thread::get_id()] = 0;
            if (state->openings <= state->freeOpenings || !state->stallOpen) return;
        } else {
            // The reads of the free openings are over before a later one opens: the clip is
            // measured when it is added, and joined afterwards.
            if (state->openings <= state->freeOpenings) return;
            if (++state->reads[std::this_thread::get_id()] <= state->freeReads) return;
        }
        ++state->held;
        state->released.wait(lock, [&] { return state->open; });
        --state->held;
    });
}

StalledFile::~StalledFile() {
    media::setReadHook(std::move(state_->previous));
    {
        std::lock_guard lock(state_->mutex);
        state_->open = true;
    }
    state_->released.notify_all();
}

int StalledFile::held() const {
    std::lock_guard lock(state_->mutex);
    return state_->held;
}

}  // namespace testmedia
