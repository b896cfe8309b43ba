// SPDX-License-Identifier: GPL-3.0-or-later
// The Options command's dialog and the compressors the window keeps bound.
#include "app/main_window.h"
#include "app/stored_output_settings.h"
#include "output/output_settings_dialog.h"

bool CSlidemintDlg::runOptionsDialog(OutputOptions& working) {
    StoredOutputSettings stored(store_);
    CDialogOutputSettings dialog(working, compressors_, stored, compressorRegistry(), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    working = dialog.options();
    return true;
}

const media::codecs::CompressorRegistry& CSlidemintDlg::compressorRegistry() const {
    return media::codecs::installedCompressors();
}

void CSlidemintDlg::releaseCompressors() {
    compressors_ = {};
}
