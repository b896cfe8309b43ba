// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window choosing from the compressors a test gives it, not the installed ones.
#include "app/main_window.h"
#include "app/settings_store.h"
#include "media/codecs/compressor_registry.h"

namespace testqt {

class WindowWithCompressors : public CSlidemintDlg {
public:
    WindowWithCompressors(SettingsStore& store, const media::codecs::CompressorRegistry& registry)
        : CSlidemintDlg(store, "english"), registry_(registry) {}

protected:
    const media::codecs::CompressorRegistry& compressorRegistry() const override {
        return registry_;
    }

private:
    const media::codecs::CompressorRegistry& registry_;
};

}  // namespace testqt
