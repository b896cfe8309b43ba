// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_settings.h"

#include "app/settings_names.h"
#include "app/settings_store.h"
#include "output/output_extension.h"
#include "output/output_option_values.h"

#include <cmath>

double presetFrameRate(int index) {
    const auto& rates = output::kPresetFrameRates;
    return index >= 0 && index < output::kCustomRateRow ? rates[index] : rates[0];
}

FrameRateChoice frameRateFromStore(int storedIndex, const QString& storedRate) {
    if (storedIndex >= 0 && storedIndex <= 4) return {storedIndex, presetFrameRate(storedIndex)};
    if (storedIndex == output::kCustomRateRow || storedIndex == output::kOriginalRateRow) {
        bool ok = false;
        const double rate = storedRate.trimmed().toDouble(&ok);
        // A rate of zero, a negative one or garbage would break every later render.
        if (ok && std::isfinite(rate) && rate > 0.0 && rate <= 1000.0) return {storedIndex, rate};
        // The first clip's rate is found at each join; the stored one only stands in for it.
        if (storedIndex == output::kOriginalRateRow) return {storedIndex, presetFrameRate(0)};
    }
    return {0, presetFrameRate(0)};
}

TransitionDefaults readTransitionDefaults(const SettingsStore& store) {
    using namespace settings;
    TransitionDefaults d;
    d.durationSeconds = store.readInt(kTransitionSettings, kTransitionDuration, kDefaultTransitionSeconds);
    // The dialog keeps it within 0..600; a hand-edited file must not make durations overflow.
    if (d.durationSeconds < 0 || d.durationSeconds > 600) d.durationSeconds = kDefaultTransitionSeconds;
    const int type = store.readInt(kTransitionSettings, kTransitionType, kDefaultTransitionType);
    d.mode = type >= 0 && type <= 2 ? static_cast<TransitionMode>(type) : TransitionMode::Random;
    const int name = store.readInt(kTransitionSettings, kTransitionName, kDefaultTransitionName);
    d.effectIndex = name >= 0 && name <= 46 ? name : 0;
    return d;
}

StoredCompressorChoice readCompressorChoice(const SettingsStore& store) {
    using namespace settings;
    return {store.readInt(kVideoCompress, kCompressorNumber, kAutomaticCompressor),
            store.readInt(kAudioCompress, kCompressorNumber, kAutomaticCompressor)};
}

void readOutputOptions(const SettingsStore& store, const QString& defaultOutputName, OutputOptions& o) {
    using namespace settings;
    o.outputFormat = store.readInt(kSettings, kOutputFormat, kDefaultOutputFormat);
    o.outputName = store.readText(kSettings, kOutputName, defaultOutputName);
    ApplyOutputExtension(o.outputFormat, o.outputName);
    o.outputWidth = store.readInt(kSettings, kOutputWidth, kDefaultWidth);
    o.outputHeight = store.readInt(kSettings, kOutputHeight, kDefaultHeight);
    const int index = store.readInt(kSettings, kOutputFrameRateIndex, kDefaultFrameRateIndex);
    const QString custom = index >= output::kCustomRateRow
                               ? store.readText(kSettings, kOutputFrameRate, kDefaultFrameRate)
                               : QString();
    const FrameRateChoice rate = frameRateFromStore(index, custom);
    o.frameRateIndex = rate.index;
    o.frameRate = rate.rate;
    o.videoBitrate = store.readInt(kSettings, kVideoBitrate, kDefaultVideoBitrate);
    o.audioBitrate = store.readInt(kSettings, kAudioBitrate, kDefaultAudioBitrate);
    o.fileProfile = store.readInt(kSettings, kFileProfile, kDefaultFileProfile);
    // Settings of older versions have no such value; a damaged one copies, as a new user does.
    const int copy = store.readInt(kSettings, kCopyUnchanged, kDefaultCopyUnchanged);
    o.copyUnchanged = copy == 0 || copy == 1 ? copy : kDefaultCopyUnchanged;
}
