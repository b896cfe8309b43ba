// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether an opened file really holds a picture or a sound: a header that names its streams
// with no data behind them (a download cut off after its first kilobytes) states a length
// but would join as black and silence. One picture, or a tenth of a second of sound, is
// enough; a sound frame or two that a cut header still carries is not.
#include <string>

#include "media/core/ffmpeg_ptr.h"
#include "media/core/status.h"
#include "media/probe/decodable_streams.h"

namespace media {

// Reads from the file's start until the chosen video stream decodes a picture or the
// audio stream a tenth of a second, within a bounded number of packets and time, and
// leaves the file positioned at its start again. Fails, saying so, when neither does.
Status findDecodedContent(AVFormatContext* input, const DecodableStreams& streams, const std::string& path);

}  // namespace media
