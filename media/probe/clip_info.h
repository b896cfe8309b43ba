// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What measuring a clip tells the program: whether it can be used, how long it is, and the
// properties of the picture and sound that the render engine and the interface need.
#include <optional>
#include <string>

#include "media/core/status.h"
#include "media/core/ticks.h"

namespace media {

// The step at which measuring a clip stopped. The steps follow the order in which the
// program has always measured a clip, so each one has its own message for the user:
//   CannotStart    nothing could be set up for the measurement (out of memory)
//   CannotOpen     the file is missing, unreadable, not media, or has no stream that this
//                  build can decode
//   NotSeekable    the file's data cannot be positioned, so it cannot be cut or previewed;
//                  local files are always seekable, the step is kept for completeness
//   NoLength       the file opens but states no usable length
enum class ProbeFailure { None, CannotStart, CannotOpen, NotSeekable, NoLength };

// The video stream the render engine will decode.
struct ClipVideoStream {
    int streamIndex = -1;   // index in the container, for the decoder
    std::string codecName;  // the decoder's short name: "h264", "mpeg4", "vp9", ...
    int width = 0;          // stored picture size, before any rotation
    int height = 0;
    int sampleAspectNum = 1;  // pixel shape; 1:1 when the file does not say
    int sampleAspectDen = 1;
    // Degrees clockwise the stored picture must be turned to be upright: 0, 90, 180 or 270
    // for the phones and cameras that tag their files, any angle in [0, 360) otherwise.
    int rotationDegrees = 0;
    int frameRateNum = 0;  // average frame rate; 0/1 when the file does not say
    int frameRateDen = 1;

    double frameRate() const {
        return frameRateNum > 0 && frameRateDen > 0 ? double(frameRateNum) / frameRateDen : 0.0;
    }
    // Width over height of the picture as shown, the pixel shape taken into account.
    double displayAspect() const {
        return height > 0 && sampleAspectDen > 0
                   ? double(width) * sampleAspectNum / sampleAspectDen / height
                   : 0.0;
    }
};

// The sound stream the render engine will decode.
struct ClipAudioStream {
    int streamIndex = -1;
    std::string codecName;  // "aac", "mp3", "pcm_s16le", "vorbis", ...
    int sampleRate = 0;
    int channels = 0;
};

// The result of measuring one clip. `failure` is None exactly when `status` is a success;
// on failure `status.text()` says in words what was wrong (for a log or a detail line) and
// nothing else in the record is meaningful.
struct ClipInfo {
    Status status;
    ProbeFailure failure = ProbeFailure::None;

    // The clip's length: the container's stated duration, or else its longest stream's,
    // or else the end of the last packets in the file. Always > 0 on success.
    Ticks duration = 0;
    // True when the length was derived from the file size and bit rate, which is exact for
    // constant-rate files and an estimate for others.
    bool durationEstimated = false;
    // The container's first timestamp, which the decoders treat as the clip's time 0.
    Ticks startTime = 0;
    std::string containerName;  // the demuxer's short name: "mov,mp4,m4a,3gp,3g2,mj2", "avi", ...

    // At least one of the two is present on success.
    std::optional<ClipVideoStream> video;
    std::optional<ClipAudioStream> audio;

    bool ok() const { return failure == ProbeFailure::None; }
};

}  // namespace media
