// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/status.h"
#include "media/core/ticks.h"
#include "media/decode/open_decoders.h"
#include "media/timeline/media_type.h"

extern "C" {
#include <libavutil/audio_fifo.h>
}

namespace media::decode {

// Planar float sound: one vector per channel, all of the same length.
using SampleBlock = std::vector<std::vector<float>>;

// The sound of one file from a media time on, resampled to one output format and read in
// exact counts of samples. Where the file has no sound (no audio stream, a stream that
// starts late, ends early, or is damaged) the reader gives silence, so that a source always
// fills its span on the timeline exactly.
class AudioReader {
public:
    AudioReader() = default;
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;
    ~AudioReader() { av_channel_layout_uninit(&inLayout_); }

    Status open(const std::string& path, const AudioFormat& format, Ticks mediaStart);
    bool hasAudio() const { return codec_ != nullptr; }

    // Appends exactly `count` samples per channel to `out`.
    Status read(int count, SampleBlock& out);
    int damagedPackets() const { return damaged_; }

private:
    Status fill(int wanted);
    Status convert(const AVFrame* frame);
    Status resetResampler(const AVFrame& frame);

    std::string path_;
    AudioFormat format_;
    std::optional<OpenDecoders> openCount_;  // held while the file is open
    av::InputPtr input_;
    av::CodecPtr codec_;
    av::PacketPtr packet_;
    av::FramePtr frame_;
    av::SwrPtr swr_;
    std::unique_ptr<AVAudioFifo, void (*)(AVAudioFifo*)> fifo_{nullptr, av_audio_fifo_free};
    const AVStream* stream_ = nullptr;
    std::int64_t origin_ = 0;
    std::int64_t wantedStart_ = 0;  // output-rate sample of media time mediaStart
    std::int64_t position_ =
        -1;  // output-rate sample of the next sample into the fifo; -1 before the first
    AVChannelLayout inLayout_{};
    int inRate_ = 0, inFormat_ = -1;
    std::int64_t dropPending_ = 0;
    std::int64_t leadingSilence_ = 0;  // samples of silence before the fifo's first
    bool done_ = false;
    int damaged_ = 0;
};

}  // namespace media::decode
