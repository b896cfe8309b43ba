// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A writer's sound encoded on one thread of its own, with the writer's own encoder.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "media/writers/sound_encoding.h"
#include "media/writers/stream_encoder.h"

namespace media {

class AudioEncodingThread final : public SoundEncoding {
public:
    // `encoder` and `sink` stay owned by the caller and must outlive finish() or cancel().
    // `sink` is called from the encoding thread.
    AudioEncodingThread(AudioEncoder& encoder, PacketHandler sink, int channels,
                        int maxWaitingSamples);
    ~AudioEncodingThread() override;
    AudioEncodingThread(const AudioEncodingThread&) = delete;
    AudioEncodingThread& operator=(const AudioEncodingThread&) = delete;

    Status push(const float* const* planes, int count) override;
    Status finish() override;
    void cancel() override;

private:
    struct Chunk {
        std::vector<float> samples;  // channel after channel
        int count = 0;
    };
    void run();
    void stop(bool dropWaiting);

    AudioEncoder& encoder_;
    PacketHandler sink_;
    const int channels_;
    const int maxWaitingSamples_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Chunk> waiting_;
    std::vector<Chunk> spare_;  // buffers handed back by the thread, reused by push()
    int waitingSamples_ = 0;
    bool closing_ = false;
    Status failure_ = Status::ok();
    std::thread thread_;
};

}  // namespace media
