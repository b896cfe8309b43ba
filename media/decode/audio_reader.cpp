// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/decode/audio_reader.h"

#include <algorithm>

#include "media/core/input_file.h"
#include "media/core/log.h"
#include "media/decode/media_origin.h"

namespace media::decode {

Status AudioReader::open(const std::string& path, const AudioFormat& format, Ticks mediaStart) {
    path_ = path;
    format_ = format;
    wantedStart_ = av_rescale(mediaStart, format.sampleRate, kTicksPerSecond);
    fifo_.reset(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, format.channels, 4096));
    if (!fifo_) return Status::outOfMemory();
    Status s = openInputFile(path, input_);
    if (!s) return s;
    openCount_.emplace();
    const AVCodec* decoder = nullptr;
    int index = av_find_best_stream(input_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index == AVERROR_STREAM_NOT_FOUND) return Status::ok();  // pictures only: silence
    if (index < 0 || !decoder) return Status::fromAv(index, "Cannot decode the sound of " + path);
    stream_ = input_->streams[index];
    for (unsigned i = 0; i < input_->nb_streams; ++i)
        if (static_cast<int>(i) != index) input_->streams[i]->discard = AVDISCARD_ALL;
    av::CodecPtr codec(avcodec_alloc_context3(decoder));
    if (!codec) return Status::outOfMemory();
    int rc = avcodec_parameters_to_context(codec.get(), stream_->codecpar);
    if (rc >= 0) {
        codec->pkt_timebase = stream_->time_base;
        rc = avcodec_open2(codec.get(), decoder, nullptr);
    }
    if (rc < 0) return Status::fromAv(rc, "Cannot decode the sound of " + path);
    codec_ = std::move(codec);
    packet_ = av::makePacket();
    frame_ = av::makeFrame();
    if (!packet_ || !frame_) return Status::outOfMemory();
    origin_ = originInStreamBase(*input_, *stream_);
    if (mediaStart > 0 &&
        av_seek_frame(input_.get(), index, ticksToStream(mediaStart, *stream_, origin_),
                      AVSEEK_FLAG_BACKWARD) < 0)
        log(LogLevel::Warning, "Cannot seek in the sound of " + path);
    return Status::ok();
}

Status AudioReader::resetResampler(const AVFrame& frame) {
    AVChannelLayout in{};
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC ||
        av_channel_layout_check(&frame.ch_layout) == 0)
        av_channel_layout_default(&in, std::max(1, frame.ch_layout.nb_channels));
    else
        av_channel_layout_copy(&in, &frame.ch_layout);
    AVChannelLayout out{};
    av_channel_layout_default(&out, format_.channels);
    SwrContext* raw = nullptr;
    int rc = swr_alloc_set_opts2(&raw, &out, AV_SAMPLE_FMT_FLTP, format_.sampleRate, &in,
                                 static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0,
                                 nullptr);
    swr_.reset(raw);
    if (rc >= 0) rc = swr_init(swr_.get());
    av_channel_layout_uninit(&inLayout_);
    av_channel_layout_copy(&inLayout_, &frame.ch_layout);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    inRate_ = frame.sample_rate;
    inFormat_ = frame.format;
    if (rc < 0) {
        swr_.reset();
        return Status::fromAv(rc, "Cannot convert the sound of " + path_);
    }
    return Status::ok();
}

Status AudioReader::convert(const AVFrame* frame) {
    if (frame) {
        if (frame->sample_rate <= 0 || frame->nb_samples <= 0) return Status::ok();
        if (!swr_ || frame->sample_rate != inRate_ || frame->format != inFormat_ ||
            av_channel_layout_compare(&frame->ch_layout, &inLayout_) != 0) {
            Status s = resetResampler(*frame);
            if (!s) return s;
        }
    }
    if (!swr_) return Status::ok();

    std::int64_t drop = 0;
    if (frame && position_ < 0) {
        // The first sound decides where the stream lies against media time: a late start is
        // preceded by silence, an early one (the seek landed before mediaStart) is cut.
        std::int64_t first =
            frame->best_effort_timestamp == AV_NOPTS_VALUE
                ? wantedStart_
                : av_rescale_q(frame->best_effort_timestamp - origin_, stream_->time_base,
                               AVRational{1, format_.sampleRate});
        if (first > wantedStart_) leadingSilence_ = first - wantedStart_;
        drop = std::max<std::int64_t>(0, wantedStart_ - first);
        position_ = std::max(first, wantedStart_);
    }
    const int capacity = swr_get_out_samples(swr_.get(), frame ? frame->nb_samples : 0);
    if (capacity <= 0) return Status::ok();
    std::vector<std::vector<float>> buffer(static_cast<std::size_t>(format_.channels),
                                           std::vector<float>(static_cast<std::size_t>(capacity)));
    std::vector<uint8_t*> planes;
    for (auto& b : buffer) planes.push_back(reinterpret_cast<uint8_t*>(b.data()));
    int got = swr_convert(swr_.get(), planes.data(), capacity,
                          frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr,
                          frame ? frame->nb_samples : 0);
    if (got < 0) return Status::fromAv(got, "Cannot convert the sound of " + path_);
    // Samples before mediaStart are dropped; the drop can span several frames.
    dropPending_ += drop;
    int skip = static_cast<int>(std::min<std::int64_t>(dropPending_, got));
    dropPending_ -= skip;
    if (got > skip) {
        std::vector<void*> from;
        for (auto& b : buffer) from.push_back(b.data() + skip);
        av_audio_fifo_write(fifo_.get(), from.data(), got - skip);
    }
    return Status::ok();
}

Status AudioReader::fill(int wanted) {
    while (av_audio_fifo_size(fifo_.get()) < wanted && !done_) {
        int rc = avcodec_receive_frame(codec_.get(), frame_.get());
        if (rc == 0) {
            Status s = convert(frame_.get());
            av_frame_unref(frame_.get());
            if (!s) return s;
            continue;
        }
        if (rc == AVERROR_EOF || (rc != AVERROR(EAGAIN))) {
            if (rc != AVERROR_EOF) ++damaged_;
            convert(nullptr);  // what the resampler still holds
            done_ = true;
            break;
        }
        rc = av_read_frame(input_.get(), packet_.get());
        if (rc < 0) {
            if (Status stalled = readFailure(input_.get()); stalled.failed()) return stalled;
            if (rc != AVERROR_EOF)
                log(LogLevel::Warning, "Reading sound stopped early in " + path_);
            avcodec_send_packet(codec_.get(), nullptr);
            continue;
        }
        if (packet_->stream_index == stream_->index) {
            rc = avcodec_send_packet(codec_.get(), packet_.get());
            if (rc < 0 && rc != AVERROR(EAGAIN)) ++damaged_;
        }
        av_packet_unref(packet_.get());
    }
    return Status::ok();
}

Status AudioReader::read(int count, SampleBlock& out) {
    out.resize(static_cast<std::size_t>(format_.channels));
    const std::size_t base = out[0].size();
    for (auto& ch : out) ch.resize(base + static_cast<std::size_t>(count), 0.0f);
    if (!codec_ || count <= 0) return Status::ok();
    int filled = 0;
    while (filled < count) {
        // A stream that starts late is preceded by silence, counted rather than stored: a
        // damaged timestamp far in the future must not fill memory with zeros.
        if (leadingSilence_ > 0) {
            const int n = static_cast<int>(std::min<std::int64_t>(leadingSilence_, count - filled));
            leadingSilence_ -= n;
            filled += n;
            continue;
        }
        Status s = fill(count - filled);
        if (!s) return s;
        if (leadingSilence_ > 0) continue;
        std::vector<void*> planes;
        for (auto& ch : out) planes.push_back(ch.data() + base + filled);
        const int n = std::min(count - filled, av_audio_fifo_size(fifo_.get()));
        if (n <= 0) break;  // the end of the sound: the rest stays silent
        av_audio_fifo_read(fifo_.get(), planes.data(), n);
        filled += n;
    }
    return Status::ok();
}

}  // namespace media::decode
