// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Encodes a writer's sound on a thread of its own, so that a slow audio encoder (AAC takes
// about a thirtieth of real time on one core) runs beside the pictures' encoding and the
// muxing instead of after them. The caller hands over sound in order; a few seconds may
// wait in between, after which push() waits for the encoder. The first failure of the
// encoder or of the sink is kept and returned by every later push() and by finish().
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "media/writers/stream_encoder.h"

namespace media {

class AudioEncodingThread {
public:
    // `encoder` and `sink` stay owned by the caller and must outlive finish() or cancel().
    // `sink` is called from the encoding thread.
    AudioEncodingThread(AudioEncoder& encoder, PacketHandler sink, int channels,
                        int maxWaitingSamples);
    ~AudioEncodingThread();
    AudioEncodingThread(const AudioEncodingThread&) = delete;
    AudioEncodingThread& operator=(const AudioEncodingThread&) = delete;

    // Copies `count` samples per channel, planar, for the thread to encode.
    Status push(const float* const* planes, int count);
    // Encodes everything handed over, then stops the thread. The encoder is not flushed:
    // that is the caller's, once this returns.
    Status finish();
    // Stops the thread, dropping what waits.
    void cancel();

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
