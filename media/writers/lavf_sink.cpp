// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/lavf_sink.h"

#include "media/core/log.h"

#include <algorithm>

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
}

namespace media {
namespace {

Status applyOption(AVFormatContext& ctx, const ContainerInfo& container, const std::string& name,
                   const std::string& value) {
    const std::string writer = std::string("The ") + container.name + " writer";
    if (name.empty()) return Status::invalidArg(writer + " was given an option without a name.");
    int r = av_opt_set(&ctx, name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN);
    if (r == AVERROR_OPTION_NOT_FOUND)
        return Status::invalidArg(writer + " has no option \"" + name + "\".");
    if (r < 0)
        return Status::invalidArg(writer + " does not take \"" + value + "\" for its option \"" +
                                  name + "\".");
    return Status::ok();
}

}  // namespace

Status LavfSink::create(const ContainerInfo& container, const MuxerOptions& options,
                        std::unique_ptr<LavfSink>& out) {
    auto sink = std::make_unique<LavfSink>();
    sink->container_ = &container;
    AVFormatContext* ctx = nullptr;
    installFfmpegLogRouting();
    int r = avformat_alloc_output_context2(&ctx, nullptr, container.muxer, nullptr);
    if (r < 0 || !ctx)
        return Status::fromAv(r, std::string("The ") + container.name + " writer is not available");
    sink->ctx_.reset(ctx);
    ctx->flags |= AVFMT_FLAG_CUSTOM_IO;
    for (const auto& [name, value] : options) {
        if (Status st = applyOption(*ctx, container, name, value); !st) return st;
    }
    out = std::move(sink);
    return Status::ok();
}

void LavfSink::setFilePath(const std::string& path) {
    av_freep(&ctx_->url);
    // "file:" keeps a name with a colon in it from being read as a protocol.
    ctx_->url = av_strdup(("file:" + path).c_str());
}

bool LavfSink::wantsGlobalHeader() const {
    return ctx_->oformat->flags & AVFMT_GLOBALHEADER;
}

Status LavfSink::addStream(const AVCodecContext& encoder) {
    AVStream* st = avformat_new_stream(ctx_.get(), nullptr);
    if (!st) return Status::outOfMemory();
    int r = avcodec_parameters_from_context(st->codecpar, &encoder);
    if (r < 0) return Status::fromAv(r, "The stream cannot be described");
    st->time_base = encoder.time_base;
    if (encoder.codec_type == AVMEDIA_TYPE_VIDEO) {
        st->avg_frame_rate = encoder.framerate;
        st->r_frame_rate = encoder.framerate;
        st->sample_aspect_ratio = encoder.sample_aspect_ratio;
    }
    encoderTimeBase_.push_back(encoder.time_base);
    return Status::ok();
}

Status LavfSink::setDescription(int index, const std::vector<std::uint8_t>& description,
                                int profile, int level) {
    AVCodecParameters& par = *ctx_->streams[index]->codecpar;
    av_freep(&par.extradata);
    par.extradata_size = 0;
    par.extradata = static_cast<std::uint8_t*>(
        av_mallocz(description.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!par.extradata) return Status::outOfMemory();
    std::copy(description.begin(), description.end(), par.extradata);
    par.extradata_size = static_cast<int>(description.size());
    par.profile = profile;
    par.level = level;
    return Status::ok();
}

Status LavfSink::begin(AVIOContext* io) {
    ctx_->pb = io;
    // Packets are written in time order across the streams although the sound's encoders,
    // on threads of their own, may run up to about forty seconds behind the pictures': a
    // player reading the file then never holds seconds of one stream to find the other.
    // Beyond a minute the queue is written as it stands, so that memory stays bounded.
    ctx_->max_interleave_delta = 60 * static_cast<std::int64_t>(AV_TIME_BASE);
    AVDictionary* opts = nullptr;
    // Matroska keeps uncompressed pictures only in its compatibility mode.
    if (container_->format == OutputFormat::Matroska) av_dict_set(&opts, "allow_raw_vfw", "1", 0);
    int r = avformat_write_header(ctx_.get(), &opts);
    av_dict_free(&opts);
    if (r < 0)
        return Status::fromAv(r,
                              std::string("The ") + container_->name + " file cannot be started");
    started_ = true;
    return Status::ok();
}

Status LavfSink::write(AVPacket& packet, int index) {
    packet.stream_index = index;
    av_packet_rescale_ts(&packet, encoderTimeBase_[static_cast<std::size_t>(index)],
                         ctx_->streams[index]->time_base);
    int r = av_interleaved_write_frame(ctx_.get(), &packet);
    if (r < 0) return Status::fromAv(r, "Writing the file failed");
    return Status::ok();
}

Status LavfSink::end() {
    if (!started_) return Status::fail("The file was never started.");
    int r = av_write_trailer(ctx_.get());
    started_ = false;
    if (r < 0) return Status::fromAv(r, "The end of the file cannot be written");
    return Status::ok();
}

}  // namespace media
