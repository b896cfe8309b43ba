// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Clips made at test time with the ffmpeg command line: solid colours and pure tones, so
// that tests can assert on the real pixels and the real sound of what the program writes.
#include <cstdint>
#include <string>

namespace testmedia {

struct ClipSpec {
    std::string container = "mp4";     // file extension: mp4, avi, mkv, webm, wav, mp3, ...
    std::string videoCodec = "libx264"; // empty: no video stream
    std::string audioCodec = "aac";     // empty: no audio stream
    int width = 320;
    int height = 240;
    std::string frameRate = "30";       // as ffmpeg takes it: "30", "30000/1001"
    double seconds = 2.0;
    std::string colour = "red";         // any ffmpeg colour name or 0xRRGGBB
    int toneHz = 440;
    int sampleRate = 44100;
    int channels = 2;
    std::string extraOutputArgs;        // appended before the output name (e.g. "-metadata:s:v rotate=90")
    // A sync mark: from this second on, for 0.2 s, the picture is white and the tone (at an
    // eighth of full scale) sounds;
    // the rest of the clip is silent. Below 0: no mark, the tone plays throughout.
    double syncMarkAt = -1;
};

// A fresh folder for one test's files, under CLIPFUSE_TEST_TMP or the system temp folder.
std::string scratchDir(const std::string& name);

// Writes the clip to `path`; returns false (and prints ffmpeg's output) on failure.
bool makeClip(const std::string& path, const ClipSpec& recipe);

// A Matroska file cut at the start of its first cluster: a header that names a picture and a sound
// stream and a length of four seconds, with no frame behind it (a download cut short).
bool makeHeaderOnlyClip(const std::string& path);

// Runs a shell command, returns its exit code; its output goes to `output` when given.
int run(const std::string& command, std::string* output = nullptr);

}  // namespace testmedia
