// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "media/render/bounded_queue.h"
#include "media/render/frame_times.h"
#include "media/render/render_plan.h"
#include "media/render/video_source_reader.h"

namespace media::render {

// For tests: the next picture of every running video group is made only after this long,
// as on a machine too busy to decode in time.
void holdPicturesForTesting(std::chrono::milliseconds hold);

// Produces the frames of one video group in order, from a start frame to the end of the
// timeline, on its own thread; the sources decode on theirs. The queue to the consumer is
// short, so memory stays flat however long or fast the render is.
// Output frames [first, end) of a group.
using FrameRanges = std::vector<std::pair<std::int64_t, std::int64_t>>;

class VideoPipeline {
public:
    using Note =
        std::function<void(const std::string&)>;  // a problem that does not stop the render

    // For a real-time render: which frames are too late to make, and what is done with each
    // frame made before it is queued (a preview gets it ready for display). With a `skip`,
    // the pipeline's threads (and the decoders' they start) give way to the rest of the
    // program when the processor is short, as a real-time render's pictures must give way
    // to its sound.
    struct RealTime {
        VideoSourceReader::SkipFrame skip;
        std::function<void(const Frame&)> prepare;
    };
    // `leftOut`: frames, in order, that are neither made nor given (a file takes them from
    // elsewhere); their sources are not decoded there.
    VideoPipeline(const GroupPlan& group, Ticks length, std::int64_t startFrame,
                  RealTime realTime, Note note, FrameRanges leftOut = {});
    ~VideoPipeline();
    VideoPipeline(const VideoPipeline&) = delete;
    VideoPipeline& operator=(const VideoPipeline&) = delete;

    std::int64_t frameCount() const { return count_; }
    const FrameTimes& times() const { return times_; }
    // The next frame; `end` once every frame was given. A failure ends the group's output.
    Status next(Frame& out, bool& end);
    // True when the next frame is ready now.
    bool ready() const { return queue_.hasItem(); }
    void stop();

private:
    struct Item {
        Frame frame;
        Status status;
        bool end = false;
    };
    struct Pending {
        std::int64_t first, end;
        std::size_t track, source;
    };
    void run();

    const GroupPlan group_;
    FrameTimes times_;
    std::int64_t start_, count_;
    VideoSourceReader::SkipFrame skip_;
    std::function<void(const Frame&)> prepare_;
    Note note_;
    FrameRanges leftOut_;
    BoundedQueue<Item> queue_{4};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace media::render
