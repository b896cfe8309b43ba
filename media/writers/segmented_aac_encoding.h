// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// libavcodec's AAC encoder is the slowest part of a join that copies most of its pictures,
// and it is single-threaded. Its frames stand alone (no bytes shared between frames, unlike
// MP3's reservoir), so the sound is cut into segments of ten seconds that encoders of the
// same settings make side by side, one thread each. Each segment's encoder starts a few
// frames early and runs a few frames on, so that its psychoacoustics and window shapes have
// settled where its packets are kept; the packets are written in time order.
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "media/writers/sound_encoding.h"
#include "media/writers/stream_encoder.h"

namespace media {

class SegmentedAacEncoding final : public SoundEncoding {
public:
    // Null when `model` (the writer's opened encoder, whose description the file carries)
    // cannot be split: another encoder, sound converted on the way, or a copy of its
    // settings that opens with another description.
    static std::unique_ptr<SegmentedAacEncoding> create(const AVCodecContext& model,
                                                        int inputRate, int inputChannels,
                                                        PacketHandler sink);
    ~SegmentedAacEncoding() override;
    SegmentedAacEncoding(const SegmentedAacEncoding&) = delete;
    SegmentedAacEncoding& operator=(const SegmentedAacEncoding&) = delete;

    Status push(const float* const* planes, int count) override;
    Status finish() override;
    void cancel() override;

private:
    struct Segment {
        std::int64_t keepFrom = 0;  // packets kept: keepFrom <= pts < keepTo (samples)
        std::int64_t keepTo = 0;
        std::int64_t firstSample = 0;  // of `samples`
        std::vector<std::vector<float>> samples;
        std::vector<av::PacketPtr> packets;
        bool done = false;
    };

    SegmentedAacEncoding(const AVCodecContext& model, int inputChannels, PacketHandler sink);
    // Hands the next segment to the threads; `last` takes everything still held.
    void cutSegment(bool last);
    void run();
    Status encode(Segment& segment);
    void writeFinished();
    void stop(bool dropWaiting);

    const AVCodecContext& model_;
    PacketHandler sink_;
    const int channels_;
    std::int64_t segmentLength_ = 0;  // samples, whole frames
    std::int64_t margin_ = 0;         // samples encoded before and after a segment's own

    // The caller's side: sound not yet cut into segments, from heldFrom_ on.
    std::vector<std::vector<float>> held_;
    std::int64_t heldFrom_ = 0;
    std::int64_t nextSegmentAt_ = 0;
    bool cutAny_ = false;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Segment>> toEncode_;
    std::deque<std::shared_ptr<Segment>> inOrder_;  // cut and not yet written
    bool closing_ = false;
    Status failure_ = Status::ok();
    std::mutex writing_;  // one thread writes finished segments at a time
    std::vector<std::thread> threads_;
};

}  // namespace media
