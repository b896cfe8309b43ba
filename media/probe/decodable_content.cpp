// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/probe/decodable_content.h"

#include <chrono>

#include "media/core/input_file.h"

namespace media {
namespace {

// Enough for a video whose first picture needs a run of packets (B-frames, a late key
// frame), while a file of packets that never decode is still given up quickly.
constexpr int kMaxPackets = 600;
constexpr std::chrono::milliseconds kTimeBudget{5000};

struct StreamDecoder {
    int index = -1;
    av::CodecPtr codec;
};

Status openDecoder(const AVFormatContext* input, int index, StreamDecoder& out) {
    const AVCodecParameters* par = input->streams[index]->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
    if (!decoder) return Status::fail("no decoder");
    av::CodecPtr codec(avcodec_alloc_context3(decoder));
    if (!codec) return Status::outOfMemory();
    if (int rc = avcodec_parameters_to_context(codec.get(), par); rc < 0) return Status::fromAv(rc, "decoder set-up");
    codec->thread_count = 1;  // one frame is all that is wanted: threads only add delay
    codec->pkt_timebase = input->streams[index]->time_base;
    if (int rc = avcodec_open2(codec.get(), decoder, nullptr); rc < 0) return Status::fromAv(rc, "decoder open");
    out = {index, std::move(codec)};
    return Status::ok();
}

// A file holds a clip when a picture decodes, or this much sound: a header cut off after
// its first kilobytes may still carry a sound frame or two (a few hundredths of a second),
// which would otherwise pass the file for a clip of the length its header claims.
constexpr double kLeastSoundSeconds = 0.1;

// What the decoders gave so far.
struct Decoded {
    bool picture = false;
    std::int64_t soundSamples = 0;
    int sampleRate = 0;

    bool enough() const {
        return picture || (sampleRate > 0 && soundSamples >= kLeastSoundSeconds * sampleRate);
    }
};

// Takes every frame the decoder has ready.
void collect(StreamDecoder& d, bool isVideo, AVFrame* frame, Decoded& got) {
    if (!d.codec) return;
    while (avcodec_receive_frame(d.codec.get(), frame) >= 0) {
        if (isVideo) {
            got.picture = true;
        } else if (frame->sample_rate > 0) {
            got.sampleRate = frame->sample_rate;
            got.soundSamples += frame->nb_samples;
        }
        av_frame_unref(frame);
    }
}

}  // namespace

Status findDecodedContent(AVFormatContext* input, const DecodableStreams& streams, const std::string& path) {
    StreamDecoder video, audio;
    if (streams.video) (void)openDecoder(input, streams.video->streamIndex, video);
    if (streams.audio) (void)openDecoder(input, streams.audio->streamIndex, audio);
    av::PacketPtr pkt = av::makePacket();
    av::FramePtr frame = av::makeFrame();
    if (!pkt || !frame) return Status::outOfMemory();

    ReadDeadline deadline(kTimeBudget);
    Decoded got;
    for (int n = 0; n < kMaxPackets && !got.enough(); ++n) {
        if (av_read_frame(input, pkt.get()) < 0) {
            // The end of the data: what the decoders hold is all there is.
            for (StreamDecoder* d : {&video, &audio})
                if (d->codec) avcodec_send_packet(d->codec.get(), nullptr);
            collect(video, true, frame.get(), got);
            collect(audio, false, frame.get(), got);
            break;
        }
        for (StreamDecoder* d : {&video, &audio})
            if (d->codec && pkt->stream_index == d->index) {
                // A damaged packet is passed over: a later one may still decode.
                avcodec_send_packet(d->codec.get(), pkt.get());
                collect(*d, d == &video, frame.get(), got);
            }
        av_packet_unref(pkt.get());
    }
    const bool found = got.enough();
    // Back to the start, for whatever reads the file next.
    avformat_seek_file(input, -1, INT64_MIN, input->start_time == AV_NOPTS_VALUE ? 0 : input->start_time,
                       INT64_MAX, 0);
    if (found) return Status::ok();
    return Status::fail("Neither a picture nor a sound could be decoded from " + path);
}

}  // namespace media
