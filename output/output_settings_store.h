// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the output options dialog reads from and writes to the program's settings. The
// program answers from its settings file; tests answer from memory.
#include <QString>

#include "media/codecs/compressor_device.h"

namespace output {

// The values the dialog's OK stores, and nothing more: the stretch mode and the compressor
// use flags are derived again at every start.
struct StoredOutputValues {
    int frameRateIndex = 0;  // the raw row of the frame-rate list, -1 for none
    QString frameRate;       // "%f" of the rate
    QString outputName;
    int outputWidth = 0;
    int outputHeight = 0;
    int videoCompressorNumber = -2;  // list row - 1; -2 never chosen
    int audioCompressorNumber = -2;
    int videoBitrate = 0;
    int audioBitrate = 0;
    int outputFormat = 1;
    int copyUnchanged = 1;  // 1 copy the clips' unchanged pictures, 0 encode every picture
};

class OutputSettingsStore {
public:
    virtual ~OutputSettingsStore() = default;
    // The stored "CompressorNumber" of the category: -2 when nothing is stored.
    virtual int compressorNumber(media::codecs::CompressorCategory category) const = 0;
    virtual void write(const StoredOutputValues& values) = 0;
    // The file that keeps the answers of compressor trials between runs; empty: none is kept.
    virtual QString compressorAnswersFile() const { return {}; }
};

}  // namespace output
