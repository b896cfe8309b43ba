// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The H.264 track of a join that copies: the clips' own compressed pictures where the copy
// plan says so, and between them the rendered pictures, each stretch encoded by a fresh
// encoder with the user's settings, so that every stretch starts with an IDR picture and
// ends with its pictures complete. One description (avcC) holds the parameter sets of all
// of them; decoding times run one frame apart across the whole track.
#include <memory>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/frame.h"
#include "media/smart/copy_plan.h"
#include "media/writers/stream_encoder.h"

namespace media {

class SplicedVideo {
public:
    ~SplicedVideo();

    // `settings` is an encoder with the user's settings (opened or not), libx264; it is not
    // used to encode. Opens the first encoder and builds the track's description.
    Status open(std::shared_ptr<const smart::CopyPlan> plan, const AVCodecContext& settings);
    // Describes the stream (the first encoder's context) and its avcC record.
    const AVCodecContext& encoder() const { return *encoder_.context(); }
    const smart::Bytes& trackDescription() const { return description_; }

    // A rendered picture; copied stretches before it are written first.
    Status write(const Frame& frame, const PacketHandler& sink);
    // The copied stretches still due, and the last encoder's pictures.
    Status finish(const PacketHandler& sink);
    // A stopped render: finish() writes no more copied stretches.
    void dropPendingCopies() { nextStretch_ = plan_ ? plan_->stretches.size() : 0; }

private:
    class ClipPackets;
    Status freshEncoder(av::CodecPtr& out) const;
    Status copyDue(std::int64_t beforeFrame, const PacketHandler& sink);
    Status copy(const smart::CopiedStretch& stretch, const PacketHandler& sink);
    Status endEncoding(const PacketHandler& sink);
    // Stamps a packet with the track's next decoding time and hands it on.
    Status emit(AVPacket& packet, const PacketHandler& sink);
    Status emitEncoded(AVPacket& packet, const PacketHandler& sink);

    std::shared_ptr<const smart::CopyPlan> plan_;
    const AVCodecContext* settings_ = nullptr;
    int sequenceId_ = 0;
    smart::Bytes description_;
    VideoEncoder encoder_;
    bool encoding_ = false;  // the encoder has pictures not yet flushed
    bool encoderFresh_ = true;
    std::size_t nextStretch_ = 0;
    std::int64_t decodeIndex_ = 0;
    int reorderDelay_ = 0;
    av::PacketPtr packet_;
    smart::Bytes buffer_;
};

}  // namespace media
