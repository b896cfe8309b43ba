// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The encoders behind a writer. Each takes the engine's pictures or sound, converts them to
// what its codec takes and hands every packet it produces to the writer's sink.
#include <functional>
#include <vector>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/frame.h"
#include "media/core/status.h"
#include "media/writers/media_writer.h"

extern "C" {
#include <libavutil/audio_fifo.h>
}

namespace media {

// Receives packets in the encoder's time base.
using PacketHandler = std::function<Status(AVPacket&)>;

// What a stream asks of its encoder before it opens: values the writer decides.
struct VideoEncoderRequest {
    int width = 0;  // the output size; the picture is scaled to it
    int height = 0;
    AVRational frameRate{25, 1};
    AVRational timeBase{1, 25};
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;  // none: the codec's own preference
    std::int64_t bitRate = 0;
    int gopSize = 0;
    bool globalHeader = false;
};

struct AudioEncoderRequest {
    int inputRate = 44100;  // what writeAudio receives
    int inputChannels = 2;
    int sampleRate = 44100;  // what the encoder is given
    int channels = 2;
    std::int64_t bitRate = 0;
    bool globalHeader = false;
};

// Opens the chosen encoder (or `fallback` when the choice is empty) for the request.
Status openVideoCodec(EncoderChoice& choice, AVCodecID fallback, const VideoEncoderRequest& req,
                      av::CodecPtr& out);
Status openAudioCodec(EncoderChoice& choice, AVCodecID fallback, const AudioEncoderRequest& req,
                      av::CodecPtr& out);

class VideoEncoder {
public:
    Status start(av::CodecPtr codec);
    AVCodecContext* context() const { return codec_.get(); }
    Status encode(const Frame& frame, const PacketHandler& sink);
    Status flush(const PacketHandler& sink);

private:
    Status drain(const PacketHandler& sink);

    av::CodecPtr codec_;
    av::SwsPtr sws_;
    av::PacketPtr packet_;
    int swsWidth_ = 0, swsHeight_ = 0;
    std::int64_t lastPts_ = AV_NOPTS_VALUE;
};

class AudioEncoder {
public:
    Status start(av::CodecPtr codec, int inputRate, int inputChannels);
    AVCodecContext* context() const { return codec_.get(); }
    int inputRate() const { return inputRate_; }
    // The sample number the next sound given starts at (0 after start()); packets carry
    // times from there.
    void continueAt(std::int64_t sample) { nextPts_ = sample; }
    int inputChannels() const { return inputChannels_; }
    Status encode(const float* const* planes, int count, const PacketHandler& sink);
    Status flush(const PacketHandler& sink);

private:
    struct FifoDeleter {
        void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
    };
    Status sendFrames(bool final, const PacketHandler& sink);
    Status drain(const PacketHandler& sink);

    av::CodecPtr codec_;
    av::SwrPtr swr_;
    std::unique_ptr<AVAudioFifo, FifoDeleter> fifo_;
    av::PacketPtr packet_;
    int inputRate_ = 44100;
    int inputChannels_ = 2;
    int frameSize_ = 1024;
    bool smallLastFrame_ = false;
    std::int64_t nextPts_ = 0;
};

}  // namespace media
