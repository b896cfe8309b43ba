// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <atomic>
#include <functional>
#include <thread>

#include "media/core/frame.h"
#include "media/render/bounded_queue.h"
#include "media/render/frame_times.h"
#include "media/render/render_plan.h"

namespace media::render {

// Decodes one video source on its own thread and draws its pictures, already fitted to
// the group's frame size, for the output frames [first, end) of its span. The reader
// opens its file when started and closes it when it has drawn its last frame, so only
// the sources around the current time hold a decoder.
class VideoSourceReader {
public:
    // True for an output frame that a real-time render will drop anyway: not drawn.
    using SkipFrame = std::function<bool(std::int64_t frame)>;

    // `renderStopping` is the render's own stop flag: once it is set, a read the file does
    // not answer gives up at once, so that the render can stop without waiting for it.
    VideoSourceReader(SourcePlan source, FrameTimes times, int width, int height,
                      std::int64_t first, std::int64_t end, SkipFrame skip,
                      const std::atomic<bool>& renderStopping);
    ~VideoSourceReader();
    VideoSourceReader(const VideoSourceReader&) = delete;
    VideoSourceReader& operator=(const VideoSourceReader&) = delete;

    std::int64_t first() const { return first_; }
    std::int64_t end() const { return end_; }
    const SourcePlan& source() const { return source_; }

    // The source's picture for output frame k (frames must be asked for in order). An
    // empty frame for a skipped one. A failure names the file.
    Status picture(std::int64_t k, Frame& out);
    // Damaged packets skipped so far (read after the reader is done).
    int damagedPackets() const { return damaged_.load(); }

private:
    struct Item {
        std::int64_t frame = 0;
        Frame picture;
        Status status;
    };
    void run();

    SourcePlan source_;
    FrameTimes times_;
    int width_, height_;
    std::int64_t first_, end_;
    SkipFrame skip_;
    BoundedQueue<Item> queue_{3};
    std::atomic<int> damaged_{0};
    const std::atomic<bool>& renderStopping_;
    std::atomic<bool> stopping_{false};  // also ends a read the file does not answer
    std::thread thread_;
};

}  // namespace media::render
