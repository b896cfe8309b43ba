// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/smart/clip_scan.h"

#include <map>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/input_file.h"
#include "media/decode/media_origin.h"
#include "media/probe/display_rotation.h"

namespace media::smart {
namespace {

bool copyableProfile(int profile) {
    switch (profile) {
        case FF_PROFILE_H264_BASELINE:
        case FF_PROFILE_H264_CONSTRAINED_BASELINE:
        case FF_PROFILE_H264_MAIN:
        case FF_PROFILE_H264_HIGH:
            return true;
        default:
            return false;
    }
}

std::string streamRefusal(const AVStream& stream) {
    const AVCodecParameters& p = *stream.codecpar;
    if (p.codec_id != AV_CODEC_ID_H264) {
        const AVCodecDescriptor* d = avcodec_descriptor_get(p.codec_id);
        return std::string("the clips are ") + (d ? d->long_name : "not H.264") +
               (d ? ", not H.264" : "");
    }
    if (!copyableProfile(p.profile))
        return "the clips use an H.264 profile other than Baseline, Main or High";
    if (p.format != AV_PIX_FMT_YUV420P && p.format != AV_PIX_FMT_YUVJ420P)
        return "the clips are not 8-bit 4:2:0 pictures";
    if (p.field_order != AV_FIELD_PROGRESSIVE && p.field_order != AV_FIELD_UNKNOWN)
        return "the clips are interlaced";
    if (p.sample_aspect_ratio.num > 0 && p.sample_aspect_ratio.num != p.sample_aspect_ratio.den)
        return "the clips' pixels are not square";
    std::size_t size = 0;
    const std::uint8_t* matrix =
        av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (matrix && rotationFromDisplayMatrix(matrix, size) != 0) return "the clips are turned";
    return {};
}

// Collects parameter sets by identifier; a second, different set under an identifier
// already seen is a change the track cannot describe.
class ParameterSets {
public:
    explicit ParameterSets(ClipScan& scan) : scan_(scan) {}

    // False when `unit` changes a set seen before.
    bool take(const NalUnit& unit) {
        int id = 0, sequenceId = 0;
        if (unit.type() == kNalSps && sequenceSetId(unit, id))
            return keep(sequence_, id, unit, scan_.sequenceSets);
        if (unit.type() == kNalPps && pictureSetIds(unit, id, sequenceId))
            return keep(picture_, id, unit, scan_.pictureSets);
        return true;
    }

private:
    static bool keep(std::map<int, Bytes>& seen, int id, const NalUnit& unit,
                     std::vector<Bytes>& list) {
        Bytes bytes(unit.data, unit.data + unit.size);
        auto [it, added] = seen.emplace(id, bytes);
        if (added) list.push_back(std::move(bytes));
        return added || it->second == bytes;
    }

    ClipScan& scan_;
    std::map<int, Bytes> sequence_, picture_;
};

}  // namespace

Status scanClip(const std::string& path, const std::atomic<bool>& stop, ClipScan& out) {
    out = {};
    out.path = path;
    ReadCancel stopped(stop);
    av::InputPtr input;
    if (Status s = openInputFile(path, input); !s) {
        if (stop) return {Status::kAborted, "The join was stopped."};
        out.refusal = "a clip cannot be read";
        return Status::ok();
    }
    const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0) {
        out.refusal = "a clip has no pictures";
        return Status::ok();
    }
    const AVStream& stream = *input->streams[index];
    out.streamIndex = index;
    out.width = stream.codecpar->width;
    out.height = stream.codecpar->height;
    if (stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0)
        out.frameRate = av_q2d(stream.avg_frame_rate);
    out.refusal = streamRefusal(stream);
    if (!out.refusal.empty()) return Status::ok();
    for (unsigned i = 0; i < input->nb_streams; ++i)
        if (static_cast<int>(i) != index) input->streams[i]->discard = AVDISCARD_ALL;

    ParameterSets sets(out);
    const AVCodecParameters& par = *stream.codecpar;
    std::vector<NalUnit> units;
    if (par.extradata_size > 0) {
        AvcConfig config;
        if (readAvcConfig(par.extradata, static_cast<std::size_t>(par.extradata_size), config)) {
            out.lengthSize = config.lengthSize;
            for (const auto* list : {&config.sequenceSets, &config.pictureSets})
                for (const Bytes& b : *list) sets.take({b.data(), b.size()});
        } else if (looksLikeAnnexB(par.extradata, static_cast<std::size_t>(par.extradata_size))) {
            splitAnnexB(par.extradata, static_cast<std::size_t>(par.extradata_size), units);
            for (const NalUnit& u : units) sets.take(u);
        } else {
            out.refusal = "a clip's H.264 description cannot be read";
            return Status::ok();
        }
    }

    const std::int64_t origin = decode::originInStreamBase(*input, stream);
    av::PacketPtr packet = av::makePacket();
    if (!packet) return Status::outOfMemory();
    bool changed = false;
    for (;;) {
        const int r = av_read_frame(input.get(), packet.get());
        if (r < 0) break;
        if (packet->stream_index != index) {
            av_packet_unref(packet.get());
            continue;
        }
        ScannedPacket p;
        p.pts = packet->pts;
        p.dts = packet->dts;
        const bool timed = p.pts != AV_NOPTS_VALUE && p.dts != AV_NOPTS_VALUE;
        p.time = timed ? decode::streamToTicks(p.pts, stream, origin) : 0;
        const bool split =
            out.lengthSize > 0
                ? splitLengthPrefixed(packet->data, static_cast<std::size_t>(packet->size),
                                      out.lengthSize, units)
                : (splitAnnexB(packet->data, static_cast<std::size_t>(packet->size), units), true);
        if (split) {
            for (const NalUnit& u : units) {
                if (u.type() == kNalIdrSlice) p.startsGroup = true;
                if (!sets.take(u)) changed = true;
            }
        }
        av_packet_unref(packet.get());
        // Untimed packets cannot be placed on the output's clock: nothing from here is copied.
        if (!timed) changed = true;
        if (!changed) out.copyableEnd = out.packets.size() + 1;
        out.packets.push_back(p);
        if (stop) return {Status::kAborted, "The join was stopped."};
    }
    if (Status s = readFailure(input.get()); !s) {
        if (stop) return {Status::kAborted, "The join was stopped."};
        out.refusal = "a clip cannot be read to its end";
    }
    if (out.sequenceSets.empty() || out.pictureSets.empty())
        out.refusal = "a clip carries no H.264 parameter sets";
    return Status::ok();
}

}  // namespace media::smart
