#include "support/media/stalled_file.h"

#include <condition_variable>
#include <mutex>

#include "media/core/clip_reader.h"

namespace testmedia {

struct StalledFile::State {
    std::string path;
    int freeOpenings = 0;
    bool stallOpen = false;
    int openings = 0;
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    int held = 0;
    media::ReadHook previous;
};

StalledFile::StalledFile(std::string path, int freeOpenings, Stall stall)
    : state_(std::make_shared<State>()) {
    state_->path = std::move(path);
    state_->freeOpenings = freeOpenings;
    state_->stallOpen = stall == Stall::Open;
    // The hook holds the state: a reading thread still caught in it when this object is
    // gone finds it alive.
    state_->previous = media::setReadHook([state = state_](const std::string& p, bool opening) {
        if (p != state->path) return;
        std::unique_lock lock(state->mutex);
        if (opening) {
            if (++state->openings <= state->freeOpenings || !state->stallOpen) return;
        }
        // A reading thread serves one opening, and the openings of one test come one after
        // another: the reads of the free ones are over before a later one opens.
        if (state->openings <= state->freeOpenings) return;
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
