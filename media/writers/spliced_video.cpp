// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/writers/spliced_video.h"

#include <cstring>

#include "media/core/input_file.h"
#include "media/core/log.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace media {
namespace {

Status changedClip(const std::string& path) {
    return Status::fail("The clip " + path + " changed while it was being joined.");
}

// Packet `data` with 4-byte NAL lengths, as the track's description declares.
void withFourByteLengths(const std::uint8_t* data, std::size_t size, int lengthSize,
                         smart::Bytes& out) {
    out.clear();
    std::vector<smart::NalUnit> units;
    const bool split = lengthSize == 0 ? (smart::splitAnnexB(data, size, units), true)
                                       : smart::splitLengthPrefixed(data, size, lengthSize, units);
    if (!split) {
        out.assign(data, data + size);  // damaged: copied as it is, as the clip has it
        return;
    }
    for (const smart::NalUnit& u : units) smart::appendWithLength(u, out);
}

Status replaceData(AVPacket& packet, const smart::Bytes& data) {
    av::PacketPtr fresh = av::makePacket();
    if (!fresh || av_new_packet(fresh.get(), static_cast<int>(data.size())) < 0)
        return Status::outOfMemory();
    std::memcpy(fresh->data, data.data(), data.size());
    av_packet_copy_props(fresh.get(), &packet);
    av_packet_unref(&packet);
    av_packet_move_ref(&packet, fresh.get());
    return Status::ok();
}

}  // namespace

// Reads one copied stretch's packets from its clip, in decoding order, checking each against
// what the scan saw.
class SplicedVideo::ClipPackets {
public:
    Status open(const smart::ClipScan& clip, std::size_t firstPacket) {
        clip_ = &clip;
        next_ = firstPacket;
        if (Status s = openInputFile(clip.path, input_); !s) return s;
        for (unsigned i = 0; i < input_->nb_streams; ++i)
            if (static_cast<int>(i) != clip.streamIndex) input_->streams[i]->discard = AVDISCARD_ALL;
        packet_ = av::makePacket();
        if (!packet_) return Status::outOfMemory();
        const smart::ScannedPacket& first = clip.packets[firstPacket];
        // Seek near the stretch; reading from the start finds it where seeking does not.
        if (firstPacket > 0 &&
            av_seek_frame(input_.get(), clip.streamIndex, first.dts, AVSEEK_FLAG_BACKWARD) >= 0) {
            if (skipToNext()) return Status::ok();
            input_.reset();
            if (Status s = openInputFile(clip.path, input_); !s) return s;
        }
        if (!skipToNext()) return changedClip(clip.path);
        return Status::ok();
    }

    // The next packet of the stretch, as stored in the clip.
    Status next(AVPacket& out) {
        if (!pending_) {
            if (Status s = read(); !s) return s;
        }
        pending_ = false;
        const smart::ScannedPacket& want = clip_->packets[next_];
        if (packet_->pts != want.pts || packet_->dts != want.dts) return changedClip(clip_->path);
        ++next_;
        av_packet_move_ref(&out, packet_.get());
        return Status::ok();
    }

private:
    // Reads up to the stretch's first packet; false when it is not found where expected.
    bool skipToNext() {
        const smart::ScannedPacket& want = clip_->packets[next_];
        for (;;) {
            if (!read()) return false;
            if (packet_->pts == want.pts && packet_->dts == want.dts) {
                pending_ = true;
                return true;
            }
            if (packet_->dts != AV_NOPTS_VALUE && packet_->dts > want.dts) return false;
        }
    }

    Status read() {
        for (;;) {
            av_packet_unref(packet_.get());
            const int r = av_read_frame(input_.get(), packet_.get());
            if (r < 0) {
                if (Status s = readFailure(input_.get()); !s) return s;
                return changedClip(clip_->path);
            }
            if (packet_->stream_index == clip_->streamIndex) return Status::ok();
        }
    }

    const smart::ClipScan* clip_ = nullptr;
    std::size_t next_ = 0;
    av::InputPtr input_;
    av::PacketPtr packet_;
    bool pending_ = false;
};

SplicedVideo::~SplicedVideo() = default;

Status SplicedVideo::freshEncoder(av::CodecPtr& out) const {
    const AVCodecContext& from = *settings_;
    out.reset(avcodec_alloc_context3(from.codec));
    if (!out) return Status::outOfMemory();
    AVCodecContext& c = *out;
    // The user's settings, public and the encoder's own, then what the track demands.
    if (av_opt_copy(&c, &from) < 0 || (from.priv_data && c.priv_data &&
                                       av_opt_copy(c.priv_data, from.priv_data) < 0))
        return Status::fail("The video compressor's settings cannot be taken over.");
    const FrameRate rate = plan_->times.rate();
    c.width = from.width;
    c.height = from.height;
    c.pix_fmt = from.pix_fmt;
    c.sample_aspect_ratio = from.sample_aspect_ratio;
    c.framerate = AVRational{rate.num, rate.den};
    c.time_base = AVRational{rate.den, rate.num};
    c.color_range = from.color_range;
    c.colorspace = from.colorspace;
    c.color_primaries = from.color_primaries;
    c.color_trc = from.color_trc;
    c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;  // parameter sets go to the description only
    c.flags &= ~AV_CODEC_FLAG_INTERLACED_DCT;
    AVDictionary* params = nullptr;
    av_opt_get_dict_val(c.priv_data, "x264-params", 0, &params);
    av_dict_set(&params, "sps-id", std::to_string(sequenceId_).c_str(), 0);
    const int r = av_opt_set_dict_val(c.priv_data, "x264-params", params, 0);
    av_dict_free(&params);
    if (r < 0) return Status::fromAv(r, "The video compressor cannot be set up");
    installFfmpegLogRouting();
    if (const int o = avcodec_open2(&c, c.codec, nullptr); o < 0)
        return Status::fromAv(o, "The video encoder \"" + std::string(c.codec->name) +
                                     "\" cannot start");
    return Status::ok();
}

Status SplicedVideo::open(std::shared_ptr<const smart::CopyPlan> plan,
                          const AVCodecContext& settings) {
    plan_ = std::move(plan);
    settings_ = &settings;
    packet_ = av::makePacket();
    if (!packet_) return Status::outOfMemory();
    // An identifier no copied clip uses, for both of the encoder's parameter sets.
    sequenceId_ = 0;
    while (sequenceId_ < 32 && (plan_->sequenceIds.count(sequenceId_) ||
                                plan_->pictureIds.count(sequenceId_)))
        ++sequenceId_;
    if (sequenceId_ == 32) return Status::fail("The clips use every parameter set identifier.");
    av::CodecPtr first;
    if (Status s = freshEncoder(first); !s) return s;

    smart::AvcConfig config;
    config.sequenceSets = plan_->sequenceSets;
    config.pictureSets = plan_->pictureSets;
    std::vector<smart::NalUnit> units;
    smart::splitAnnexB(first->extradata, static_cast<std::size_t>(first->extradata_size), units);
    for (const smart::NalUnit& u : units) {
        if (u.type() == smart::kNalSps) config.sequenceSets.emplace_back(u.data, u.data + u.size);
        if (u.type() == smart::kNalPps) config.pictureSets.emplace_back(u.data, u.data + u.size);
    }
    if (config.sequenceSets.size() == plan_->sequenceSets.size() ||
        config.pictureSets.size() == plan_->pictureSets.size())
        return Status::fail("The video encoder gave no parameter sets.");
    description_ = smart::writeAvcConfig(config);
    reorderDelay_ = std::max(plan_->reorderDelay, first->has_b_frames);
    return encoder_.start(std::move(first));
}

Status SplicedVideo::write(const Frame& frame, const PacketHandler& sink) {
    const std::int64_t k = plan_->times.firstAtOrAfter(frame.pts);
    if (Status s = copyDue(k, sink); !s) return s;
    if (!encoderFresh_ && !encoding_) {
        av::CodecPtr fresh;
        if (Status s = freshEncoder(fresh); !s) return s;
        encoder_ = VideoEncoder();
        if (Status s = encoder_.start(std::move(fresh)); !s) return s;
        encoderFresh_ = true;
    }
    encoding_ = true;
    return encoder_.encode(frame, [&](AVPacket& p) { return emitEncoded(p, sink); });
}

Status SplicedVideo::finish(const PacketHandler& sink) {
    if (Status s = copyDue(INT64_MAX, sink); !s) return s;
    return endEncoding(sink);
}

Status SplicedVideo::copyDue(std::int64_t beforeFrame, const PacketHandler& sink) {
    while (nextStretch_ < plan_->stretches.size() &&
           plan_->stretches[nextStretch_].firstFrame < beforeFrame) {
        if (Status s = endEncoding(sink); !s) return s;
        if (Status s = copy(plan_->stretches[nextStretch_], sink); !s) return s;
        ++nextStretch_;
    }
    return Status::ok();
}

Status SplicedVideo::endEncoding(const PacketHandler& sink) {
    if (!encoding_) return Status::ok();
    encoding_ = false;
    encoderFresh_ = false;
    return encoder_.flush([&](AVPacket& p) { return emitEncoded(p, sink); });
}

Status SplicedVideo::copy(const smart::CopiedStretch& stretch, const PacketHandler& sink) {
    ClipPackets packets;
    if (Status s = packets.open(*stretch.clip, stretch.firstPacket); !s) return s;
    for (std::size_t i = stretch.firstPacket; i < stretch.endPacket; ++i) {
        if (Status s = packets.next(*packet_); !s) return s;
        const smart::ScannedPacket& scanned = stretch.clip->packets[i];
        if (stretch.clip->lengthSize != 4) {
            withFourByteLengths(packet_->data, static_cast<std::size_t>(packet_->size),
                                stretch.clip->lengthSize, buffer_);
            if (Status s = replaceData(*packet_, buffer_); !s) return s;
        }
        packet_->pts = stretch.frames[i - stretch.firstPacket];
        packet_->flags = scanned.startsGroup ? AV_PKT_FLAG_KEY : 0;
        packet_->pos = -1;
        Status s = emit(*packet_, sink);
        av_packet_unref(packet_.get());
        if (!s) return s;
    }
    return Status::ok();
}

Status SplicedVideo::emitEncoded(AVPacket& packet, const PacketHandler& sink) {
    // The encoder's packets come with start codes; the track's have lengths.
    withFourByteLengths(packet.data, static_cast<std::size_t>(packet.size), 0, buffer_);
    if (Status s = replaceData(packet, buffer_); !s) return s;
    return emit(packet, sink);
}

Status SplicedVideo::emit(AVPacket& packet, const PacketHandler& sink) {
    packet.dts = decodeIndex_++ - reorderDelay_;
    packet.duration = 1;
    if (packet.pts < packet.dts)
        return Status::fail("A picture would be decoded after it is due; the join cannot go on.");
    return sink(packet);
}

}  // namespace media
