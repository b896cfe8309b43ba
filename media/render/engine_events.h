// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "media/core/status.h"

namespace media::render {

// Event codes, numbered as the media platform numbers them.
enum EventCode : int {
    kEventComplete = 1,  // every output has been delivered
    kEventUserAbort = 2,
    kEventErrorAbort = 3,               // the render stopped on an error; the event carries it
    kEventStreamErrorStillPlaying = 7,  // a problem that the render went past
};

struct EngineEvent {
    int code = 0;
    Status status;  // the error and its text, for error events
};

// The events of a render, queued for the program. `notify` is called from the engine's
// threads after each event is queued; it must only hand the news on (the program posts
// itself a message) and never call back into the engine.
class EventQueue {
public:
    void setNotify(std::function<void()> notify);
    void post(EngineEvent event);
    // The oldest event, waiting up to timeoutMs (0: do not wait). E_ABORT when there is none.
    Status getEvent(EngineEvent& out, int timeoutMs);
    void clear();

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<EngineEvent> events_;
    std::function<void()> notify_;
};

}  // namespace media::render
