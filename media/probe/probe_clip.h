// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Measuring a clip when it is added to the list.
//
//   media::ClipInfo info = media::probeClip(path);
//   if (!info.ok()) {
//       switch (info.failure) {              // pick the message for the step that failed
//       case media::ProbeFailure::CannotStart:  ... "Failed to CoCreateInstance"
//       case media::ProbeFailure::CannotOpen:   ... string 122, the file cannot be opened
//       case media::ProbeFailure::NotSeekable:  ... "Failed to get IID_IMediaSeeking"
//       case media::ProbeFailure::NoLength:     ... "Failed to GetStopPosition"
//       }
//       // info.status.text() holds the technical reason, e.g. "The file is empty: /a.mp4"
//   }
//   clip.duration = info.duration;  // ticks
//
// The file is treated as untrusted: only the file itself is read (no network, no files it
// names), the amount read and the time spent are bounded, and any broken, truncated or
// hostile file comes back as a failure with a reason, never a crash or a hang.
//
// A file opens when it has at least one picture or sound stream that this build can
// decode, and one of them gives a frame (a header alone is no clip). Its length is the container's duration, else its longest stream's, else the end
// of its last packets (see clip_length.h).
//
// Cost: one open of the file and a few kilobytes of reading for common files; the call is
// made on the interface thread, once per clip, and is safe to call from any thread.
#include <string>

#include "media/core/input_file.h"
#include "media/probe/clip_info.h"

namespace media {

ClipInfo probeClip(const std::string& path, const InputLimits& limits = {});

}  // namespace media
