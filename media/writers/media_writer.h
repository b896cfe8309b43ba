// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One contract for writing the joined video to a file, whatever the container. The render
// engine pushes pictures and sound in order; the writer encodes, interleaves and writes
// them under a temporary name and makes the file the target only when finish() succeeds.
// A writer is used from one thread at a time.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/frame.h"
#include "media/core/status.h"

namespace media {

namespace wm {
class Profile;
}
namespace smart {
struct CopyPlan;
}

struct VideoStreamSpec {
    int width = 0;
    int height = 0;
    AVRational frameRate{25, 1};
    AVRational timeBase{0, 1};  // {0, 1}: one tick per frame (1 / frameRate)
};

struct AudioStreamSpec {
    int sampleRate = 44100;
    int channels = 2;
};

// How a stream's encoder is chosen; left empty, the writer uses the container's own choice
// for "no compressor" (uncompressed pictures and sound where the container can hold them).
struct EncoderChoice {
    // A compressor's encoder, configured. If it is not open yet the writer fills in what the
    // stream dictates and the context left unset (size, rate, time base, pixel or sample
    // format, layout, the container's global-header flag) and opens it.
    av::CodecPtr context;
    // Or: the writer makes a context for `codec`, fills in the stream's values, lets
    // `configure` set the compressor's own options, and opens it.
    const AVCodec* codec = nullptr;
    std::function<Status(AVCodecContext&)> configure;

    bool empty() const { return !context && !codec; }
};

// Options of a container's writer by libavformat's own names and values, in order, e.g.
// {"movflags", "+faststart"} for MP4.
using MuxerOptions = std::vector<std::pair<std::string, std::string>>;

struct WriterSettings {
    std::string path;
    int formatCode = 0;  // 0 AVI, 1 WMV, 2 Matroska, 3 ASF, 4 MP4, 5 DSM, 6 Ogg ("OGM")
    std::optional<VideoStreamSpec> video;
    std::optional<AudioStreamSpec> audio;
    EncoderChoice videoEncoder;
    EncoderChoice audioEncoder;
    // WMV and ASF: the streams are encoded as this profile says (codec, bitrate, size,
    // rate); the encoder choices above are not used for them.
    const wm::Profile* profile = nullptr;
    // Set on the container's writer before its header is written. An option that writer
    // does not have, or a value it does not take, refuses the output before any file exists.
    MuxerOptions muxerOptions;
    // The file's header waits for startWriting(), which says which pictures are copied
    // from the clips instead of encoded (H.264 with libx264 into MP4 or Matroska).
    bool copyUnchanged = false;
};

struct WriterInfo {
    std::string container;   // "AVI", "Matroska", ...
    std::string videoCodec;  // the encoder really used, e.g. "wmv2"; empty without video
    std::string audioCodec;
    std::string tempPath;  // where the file is written until finish()
};

class MediaWriter {
public:
    virtual ~MediaWriter() = default;

    // With WriterSettings::copyUnchanged, before anything is written: `plan` (may be
    // empty) names the pictures that are copied; the header is written now.
    virtual Status startWriting(std::shared_ptr<const smart::CopyPlan> plan) = 0;

    // A picture in the engine's format; it is scaled and converted to what the encoder
    // takes. Its pts (ticks) places it on the output's time axis.
    virtual Status writeVideo(const Frame& frame) = 0;
    // `count` samples per channel, one plane per channel, at the stream's sample rate.
    virtual Status writeAudio(const float* const* planes, int count) = 0;
    // Flushes the encoders, writes the index and renames the file over the target. Also
    // what stopping by hand calls: the file then plays up to the last picture written.
    virtual Status finish() = 0;
    // Before a finish() that ends a stopped render: pictures still to be copied from the
    // clips are left out, so that the file ends with what was rendered.
    virtual void endAtLastPicture() {}
    // Drops everything; no file is left behind and the target is untouched.
    virtual void abort() = 0;

    virtual const WriterInfo& info() const = 0;
};

// Checks everything that can be known before writing (format code, codecs the container
// can carry, encoders that open, a folder that takes files) and only then creates the
// temporary file and writes the header.
Status openMediaWriter(WriterSettings settings, std::unique_ptr<MediaWriter>& out);

}  // namespace media
