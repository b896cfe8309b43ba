// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/probe/decodable_streams.h"

#include <vector>

#include "media/probe/display_rotation.h"

namespace media {
namespace {

bool isCoverPicture(const AVStream* st) {
    return (st->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
}

// Parameters no decoder or renderer could do anything sensible with.
std::string parameterProblem(const AVCodecParameters* par) {
    if (par->codec_type == AVMEDIA_TYPE_VIDEO && (par->width <= 0 || par->height <= 0))
        return "the picture size is unknown";
    if (par->codec_type == AVMEDIA_TYPE_AUDIO &&
        (par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0))
        return "the sample rate or channel count is unknown";
    return {};
}

ClipVideoStream describeVideo(const AVStream* st) {
    const AVCodecParameters* par = st->codecpar;
    ClipVideoStream v;
    v.streamIndex = st->index;
    v.codecName = avcodec_get_name(par->codec_id);
    v.width = par->width;
    v.height = par->height;
    AVRational sar =
        st->sample_aspect_ratio.num > 0 ? st->sample_aspect_ratio : par->sample_aspect_ratio;
    if (sar.num > 0 && sar.den > 0) {
        av_reduce(&v.sampleAspectNum, &v.sampleAspectDen, sar.num, sar.den, 1 << 20);
    }
    std::size_t size = 0;
    const std::uint8_t* matrix = av_stream_get_side_data(st, AV_PKT_DATA_DISPLAYMATRIX, &size);
    v.rotationDegrees = rotationFromDisplayMatrix(matrix, size);
    AVRational rate = st->avg_frame_rate.num > 0 && st->avg_frame_rate.den > 0 ? st->avg_frame_rate
                                                                               : st->r_frame_rate;
    if (rate.num > 0 && rate.den > 0) {
        v.frameRateNum = rate.num;
        v.frameRateDen = rate.den;
    }
    return v;
}

ClipAudioStream describeAudio(const AVStream* st) {
    const AVCodecParameters* par = st->codecpar;
    ClipAudioStream a;
    a.streamIndex = st->index;
    a.codecName = avcodec_get_name(par->codec_id);
    a.sampleRate = par->sample_rate;
    a.channels = par->ch_layout.nb_channels;
    return a;
}

}  // namespace

Status openDecoderFor(const AVCodecParameters* par) {
    const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
    if (!decoder)
        return Status::fail(std::string("no decoder for '") + avcodec_get_name(par->codec_id) +
                            "'");
    av::CodecPtr ctx(avcodec_alloc_context3(decoder));
    if (!ctx) return Status::outOfMemory();
    int rc = avcodec_parameters_to_context(ctx.get(), par);
    if (rc < 0)
        return Status::fromAv(rc,
                              std::string("the ") + decoder->name + " decoder refuses the stream");
    // Threads are for decoding; an open that only answers "can it" needs none.
    ctx->thread_count = 1;
    rc = avcodec_open2(ctx.get(), decoder, nullptr);
    if (rc < 0)
        return Status::fromAv(rc, std::string("the ") + decoder->name + " decoder does not open");
    return Status::ok();
}

DecodableStreams findDecodableStreams(const AVFormatContext* input) {
    DecodableStreams found;
    std::vector<bool> usable(input->nb_streams, false);
    std::string firstProblem;
    bool anyMedia = false;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream* st = input->streams[i];
        const AVMediaType type = st->codecpar->codec_type;
        if ((type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO) || isCoverPicture(st))
            continue;
        anyMedia = true;
        std::string problem = parameterProblem(st->codecpar);
        if (problem.empty()) {
            Status s = openDecoderFor(st->codecpar);
            if (s.code() == Status::kOutOfMemory) found.outOfMemory = true;
            if (s.failed()) problem = s.text();
        }
        if (problem.empty()) {
            usable[i] = true;
        } else if (firstProblem.empty()) {
            firstProblem = "stream " + std::to_string(i) + ": " + problem;
        }
    }

    for (AVMediaType type : {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}) {
        int best =
            av_find_best_stream(const_cast<AVFormatContext*>(input), type, -1, -1, nullptr, 0);
        if (best < 0 || !usable[static_cast<unsigned>(best)] ||
            isCoverPicture(input->streams[best])) {
            best = -1;
            for (unsigned i = 0; i < input->nb_streams && best < 0; ++i)
                if (usable[i] && input->streams[i]->codecpar->codec_type == type)
                    best = static_cast<int>(i);
        }
        if (best < 0) continue;
        if (type == AVMEDIA_TYPE_VIDEO)
            found.video = describeVideo(input->streams[best]);
        else
            found.audio = describeAudio(input->streams[best]);
    }

    if (!found.video && !found.audio) {
        found.whyNone = anyMedia ? "No stream of the file can be decoded (" + firstProblem + ")"
                                 : std::string("The file holds no picture or sound");
    }
    return found;
}

}  // namespace media
