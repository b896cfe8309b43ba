// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

#include "media/codecs/codec_options.h"
#include "media/codecs/encoder_settings.h"

class QComboBox;
class QLabel;
class QSpinBox;

// The configuration dialog of one video codec: the options that codec has (rate control
// by bitrate or constant quality, key-frame interval, its presets and tunings), starting
// from the configuration it keeps. Controls carry object names ("rateControl", "bitrate",
// "quality", "keyFrameInterval", "preset", "tune", "defaults") so they can be found.
class CompressorSettingsDialog : public QDialog {
    Q_OBJECT
public:
    CompressorSettingsDialog(const media::codecs::CodecOptions& options,
                             const media::codecs::EncoderSettings& current,
                             QWidget* parent = nullptr);

    // The settings the controls show now.
    media::codecs::EncoderSettings settings() const;

private:
    void showSettings(const media::codecs::EncoderSettings& s);
    void updateEnabled();
    media::codecs::RateControl rateControl() const;

    media::codecs::CodecOptions options_;
    QComboBox* rateControl_ = nullptr;
    QSpinBox* bitrate_ = nullptr;
    QSpinBox* quality_ = nullptr;
    QSpinBox* keyFrameInterval_ = nullptr;
    QComboBox* preset_ = nullptr;
    QComboBox* tune_ = nullptr;
};
