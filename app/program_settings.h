// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the settings the main window starts from, in the order it reads them.
#include "app/transition_defaults.h"
#include "output/output_options.h"

#include <QString>

class SettingsStore;

struct StoredCompressorChoice {
    std::int32_t video = -2;  // -2 automatic, -1 none, n >= 0 the n-th installed compressor
    std::int32_t audio = -2;
};

// The preset frame rates of rows 0..4; a custom rate is row 5.
double presetFrameRate(int index);

struct FrameRateChoice {
    int index = 0;
    double rate = 23.976;
};
// Index 0..4 give the preset rate, 5 the stored custom text as a decimal number, 6 (the first
// clip's rate) the stored text as a stand-in, or 23.976; anything else row 0 with 23.976. A
// custom text that is not a positive number also falls back to row 0.
FrameRateChoice frameRateFromStore(int storedIndex, const QString& storedRate);

TransitionDefaults readTransitionDefaults(const SettingsStore& store);
StoredCompressorChoice readCompressorChoice(const SettingsStore& store);

// Reads every stored output value into `options` (the stretch mode and the compressor
// flags are not stored and stay as they are). `defaultOutputName` is used when no name
// is stored; the format's extension is then applied to the name.
void readOutputOptions(const SettingsStore& store, const QString& defaultOutputName, OutputOptions& options);
