// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The output options dialog "Select Output options" (dialog 129). It edits its own copy of
// the output options; the caller takes options() back only when the dialog ends with OK.
// OK validates the input, stores the chosen values and binds the chosen compressors into
// the caller's BoundCompressors before the dialog closes.
#include <QDialog>

#include "media/codecs/compressor_registry.h"
#include "output/bound_compressors.h"
#include "output/compressor_configure.h"
#include "output/compressor_list_trials.h"
#include "output/output_options.h"
#include "output/output_settings_store.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

class CDialogOutputSettings : public QDialog {
    Q_OBJECT
public:
    CDialogOutputSettings(
        const OutputOptions& options, BoundCompressors& compressors,
        output::OutputSettingsStore& store,
        const media::codecs::CompressorRegistry& registry = media::codecs::installedCompressors(),
        QWidget* parent = nullptr);

    // The working copy: what OK hands back.
    const OutputOptions& options() const { return working_; }

    QWidget* control(int id) const;

    // How the Settings button runs a codec's configuration dialog; modal unless replaced.
    void setCompressorDialogRunner(CompressorDialogRunner run) {
        runCompressorDialog_ = std::move(run);
    }

    // The extension rule for `code` on the output file edit, then the bitrate layout for
    // WMV and ASF or the compressor layout for the other formats.
    void applyFormatLayout(int code);

    // True while a compressor row waits for the answer of its trial.
    bool tryingCompressors() const;

    // Kills the compressor trials under way before the dialog closes.
    void done(int result) override;

private:
    void fillControls();
    void fillCompressorList(QComboBox* list, media::codecs::CompressorCategory category);
    // Greys the compressor rows that cannot write the chosen format at the chosen size and
    // rate, each with a tooltip saying why, as the answers of their trials come; a greyed
    // selection gives way to a row that works.
    void markUnusableCompressors();
    // While the user has chosen nothing, the lists show the preferred compressors of the
    // format: those of the format just chosen.
    void selectPreferredCompressors();
    void connectActions();
    // The copy box can be ticked only where the join can copy: see output::canCopyUnchanged.
    void enableCopyUnchanged();
    // The encoder of the video list's row; empty for the uncompressed row or none.
    std::string chosenVideoEncoder() const;

    void onFormatChanged(int row);
    void onResolutionChanged(int row);
    void onFrameRateChanged(int row);
    void onDefault();
    void onSettings();
    void onBrowse();
    void onOk();
    // Binds the compressor of a list row; the flag it leaves and the number to store.
    int takeCompressor(media::codecs::CompressorCategory category, std::int32_t& useFlag);

    void showControls(std::initializer_list<int> ids, bool shown);
    QComboBox* list(int id) const;
    QLineEdit* edit(int id) const;
    QCheckBox* copyBox() const;

    OutputOptions working_;
    BoundCompressors& compressors_;
    output::OutputSettingsStore& store_;
    const media::codecs::CompressorRegistry& registry_;
    CompressorDialogRunner runCompressorDialog_;
    output::CompressorListTrials* trials_ = nullptr;
    bool videoChosen_ = false;  // the user picked a row of the list in this dialog
    bool audioChosen_ = false;
};
