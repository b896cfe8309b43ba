// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/status.h"
#include "media/core/ticks.h"
#include "media/decode/open_decoders.h"

namespace media::decode {

// The pictures of one file, asked for by media time. Reading forward decodes on; asking
// for an earlier time (or far ahead) seeks. Damaged packets are skipped, and past the end
// of the file the last picture stays: a source never runs out of pictures once it had one.
class VideoDecoder {
public:
    Status open(const std::string& path);
    bool hasVideo() const { return codec_ != nullptr; }

    // The picture on screen at media time t: the last one whose timestamp is not after t,
    // or the first picture for a time before it. Null when the file has no decodable
    // picture at all (the caller shows black). The frame stays valid until the next call.
    Status frameAt(Ticks t, const AVFrame*& out);

    // While set, pictures no other picture refers to are not decoded: a reader that has
    // fallen behind real time catches up sooner, and frameAt() may then give the reference
    // picture before the one asked for.
    void discardNonReference(bool discard);

    // Clockwise rotation, in degrees (0, 90, 180, 270), that shows the picture upright.
    int rotation() const { return rotation_; }
    // Changes whenever frameAt() moves on to another picture.
    std::uint64_t pictureSerial() const { return serial_; }
    // Number of damaged packets skipped so far.
    int damagedPackets() const { return damaged_; }
    const std::string& path() const { return path_; }

private:
    Status decodeNext(bool& gotFrame);
    void seekTo(Ticks t);
    Ticks frameTime(const AVFrame& f);

    std::string path_;
    std::optional<OpenDecoders> openCount_;  // held while the file is open
    av::InputPtr input_;
    av::CodecPtr codec_;
    av::PacketPtr packet_;
    av::FramePtr current_, next_;
    const AVStream* stream_ = nullptr;
    std::int64_t origin_ = 0;
    bool haveCurrent_ = false, haveNext_ = false;
    Ticks currentTime_ = 0, nextTime_ = 0, lastTime_ = -1;
    bool demuxDone_ = false, decoderDone_ = false;
    bool currentReplaced_ = false;  // the picture on screen came after an earlier one
    int rotation_ = 0;
    int damaged_ = 0;
    std::uint64_t serial_ = 0;
};

}  // namespace media::decode
