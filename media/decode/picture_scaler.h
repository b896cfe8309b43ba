// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/core/ffmpeg_ptr.h"
#include "media/core/frame.h"
#include "media/core/status.h"
#include "media/decode/picture_fit.h"

namespace media::decode {

// Draws decoded pictures into the engine's frames: one libswscale pass from the decoder's
// own format straight into the destination rectangle, colours converted to BT.601 limited
// range. One scaler serves one source; its context is kept while the picture's size and
// format stay the same, and rebuilt when they change mid-stream.
class PictureScaler {
public:
    // dst must be black outside the picture's rectangle (a new Frame is).
    Status draw(const AVFrame& src, int rotation, StretchMode mode, Frame& dst);

private:
    Status scale(const AVFrame& src, Frame& target, const Rect& r);

    av::SwsPtr sws_;
    Frame turned_;  // the picture before rotation, when it has to be turned
};

// Copies a picture turned clockwise by 90, 180 or 270 degrees into the rectangle of dst.
void rotateInto(const Frame& src, int rotation, Frame& dst, const Rect& r);

}  // namespace media::decode
