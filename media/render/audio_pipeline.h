// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <atomic>
#include <thread>

#include "media/decode/audio_reader.h"
#include "media/render/bounded_queue.h"
#include "media/render/render_plan.h"

namespace media::render {

// A piece of a group's sound: `samples` per channel from output sample `first` on.
struct AudioBlock {
    std::int64_t first = 0;
    decode::SampleBlock samples;
    std::int64_t size() const {
        return samples.empty() ? 0 : static_cast<std::int64_t>(samples[0].size());
    }
};

// Produces the sound of one audio group in order on its own thread: every source
// resampled to the group's format and laid on its span (sample-exact), the tracks mixed,
// silence where nothing plays, exactly round(length * rate) samples in all.
class AudioPipeline {
public:
    static constexpr int kBlockSamples = 1024;
    using Note = std::function<void(const std::string&)>;

    AudioPipeline(const GroupPlan& group, Ticks length, std::int64_t startSample, Note note);
    ~AudioPipeline();
    AudioPipeline(const AudioPipeline&) = delete;
    AudioPipeline& operator=(const AudioPipeline&) = delete;

    std::int64_t sampleCount() const { return count_; }
    const AudioFormat& format() const { return format_; }
    Status next(AudioBlock& out, bool& end);
    void stop();

private:
    struct Item {
        AudioBlock block;
        Status status;
        bool end = false;
    };
    void run();

    const GroupPlan group_;
    AudioFormat format_;
    std::int64_t start_, count_;
    Note note_;
    BoundedQueue<Item> queue_{24};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace media::render
