// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The output options dialog's view of the program's settings file.
#include "output/output_settings_store.h"

class SettingsStore;

class StoredOutputSettings final : public output::OutputSettingsStore {
public:
    explicit StoredOutputSettings(SettingsStore& store) : store_(store) {}

    int compressorNumber(media::codecs::CompressorCategory category) const override;
    void write(const output::StoredOutputValues& values) override;
    QString compressorAnswersFile() const override;

private:
    SettingsStore& store_;
};
