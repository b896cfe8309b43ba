// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test helpers: feed a writer a solid picture and a tone, and read back what it wrote with
// libavformat and libavcodec.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "media/writers/media_writer.h"

namespace writertest {

struct Feed {
    int frames = 25;
    int width = 160;
    int height = 120;
    AVRational rate{25, 1};
    std::array<std::uint8_t, 3> top{255, 0, 0};     // rows in the upper half
    std::array<std::uint8_t, 3> bottom{255, 0, 0};  // rows in the lower half
    double toneHz = 440.0;
    bool audio = true;
};

media::WriterSettings settingsFor(const std::string& path, int formatCode, const Feed& feed = {});
// Writes the feed's pictures and the matching sound, then finishes unless told not to.
media::Status writeFeed(media::MediaWriter& writer, const Feed& feed, bool finish = true);

struct ReadBack {
    // Asked for before reading: the centre colour of the picture shown at each of these
    // seconds, and whether to keep the first channel's sound.
    std::vector<double> colourTimes;
    bool keepSound = false;
    bool keepPictures = false;  // the centre colour of every picture, with its time

    std::vector<std::array<int, 3>> colours;  // per colourTimes entry: the last picture starting by then
    std::vector<float> sound;                 // the first channel, when kept
    double soundStart = 0;                    // the time of sound[0], in seconds
    struct Picture {
        double shown;  // seconds
        std::array<int, 3> centre;
    };
    std::vector<Picture> pictures;            // when keepPictures, in decoding order
    std::string container;
    std::string videoCodec, audioCodec;
    std::string videoTag;  // the four-character code the file names
    int width = 0, height = 0;
    double frameRate = 0;
    double durationSeconds = 0;  // the container's
    double videoSeconds = 0;     // the video stream's own, when the container says
    int framesDecoded = 0;
    std::array<int, 3> topColour{-1, -1, -1};  // RGB of the first picture, a quarter from the top
    std::array<int, 3> bottomColour{-1, -1, -1};  // and a quarter from the bottom
    long audioSamples = 0;                        // per channel
    int audioRate = 0;
    int audioChannels = 0;
    double toneHz = 0;  // from zero crossings of the first channel
    std::int64_t audioBitrate = 0;
};

// Opens and decodes the whole file; false with a note in `error` when it does not play.
bool readBack(const std::string& path, ReadBack& out, std::string* error = nullptr);

bool nearColour(const std::array<int, 3>& got, const std::array<std::uint8_t, 3>& want,
                int tolerance);

// Files in `dir` whose names hold ".partial-": what a failed write must never leave.
int partialFilesIn(const std::string& dir);

}  // namespace writertest
