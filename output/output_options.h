// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's output settings, one record per process, owned by the main window and handed
// to the timeline builder and the renderers. Values before the settings are read.
#include <QString>
#include <cstdint>

struct OutputOptions {
    QString outputName;                 // full path of the output file
    std::int32_t outputWidth = 352;     // pixels; 0 with a height of 0 keeps the clips' size
    std::int32_t outputHeight = 240;
    std::int32_t useVideoCompressor = 1;
    std::int32_t useAudioCompressor = 1;
    double frameRate = 23.976;
    std::int32_t frameRateIndex = 0;    // 0..4 preset rows, 5 custom, 6 the first clip's rate
                                        // (frameRate then only stands in until a join knows it)
    std::int32_t resizeMode = 2;        // 2 preserve aspect ratio, 0 stretch; never stored
    std::int32_t videoBitrate = 389120; // bits per second
    std::int32_t audioBitrate = 128000;
    std::int32_t outputFormat = 1;      // container code, see output_extension.h
    std::int32_t fileProfile = 0;
    std::int32_t copyUnchanged = 1;     // copy the clips' pictures no transition touches
};
