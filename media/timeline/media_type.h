// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

namespace media {

enum class MediaKind { None, Video, Audio };

// What a group produces. Video is RGB24 of the given size, as the timeline describes it;
// the engine works in YUV 4:2:0 and converts only where an output needs RGB. A width and
// height of 0 take the size of the group's first source.
struct VideoFormat {
    int width = 0;
    int height = 0;
    // Bytes of one packed RGB24 row, rounded up to a multiple of 4, and of a whole picture:
    // what a writer of uncompressed pictures lays out.
    std::int64_t rowBytes() const {
        return ((static_cast<std::int64_t>(width) * 24 + 31) >> 3) & ~std::int64_t{3};
    }
    std::int64_t imageBytes() const { return rowBytes() * (height < 0 ? -height : height); }
};

// The sound a group produces: planar float samples. The engine's default unless a
// writer asks for another rate or channel count.
struct AudioFormat {
    int sampleRate = 44100;
    int channels = 2;
};

struct GroupMediaType {
    MediaKind kind = MediaKind::None;
    VideoFormat video;
    AudioFormat audio;

    static GroupMediaType makeVideo(int width, int height) {
        return {MediaKind::Video, {width, height}, {}};
    }
    static GroupMediaType makeAudio(AudioFormat format = {}) {
        return {MediaKind::Audio, {}, format};
    }
};

// How a source's picture fills the group's frame.
enum class StretchMode : int {
    Stretch = 0,              // fill the frame, whatever the aspect ratio
    PreserveAspectRatio = 2,  // the whole picture, centred, black bars where it does not reach
};

}  // namespace media
