// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/compressor_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using media::codecs::CodecChoice;
using media::codecs::EncoderSettings;
using media::codecs::QualityMethod;
using media::codecs::RateControl;

namespace {

constexpr int kBitsPerKbit = 1000;

QComboBox* choiceBox(const CodecChoice& choice, const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const auto& v : choice.values)
        box->addItem(v.empty() ? QObject::tr("(none)") : QString::fromStdString(v),
                     QString::fromStdString(v));
    return box;
}

void selectValue(QComboBox* box, const std::string& value) {
    if (!box) return;
    const int row = box->findData(QString::fromStdString(value));
    box->setCurrentIndex(row >= 0 ? row : 0);
}

std::string chosenValue(const QComboBox* box) {
    return box ? box->currentData().toString().toStdString() : std::string();
}

}  // namespace

CompressorSettingsDialog::CompressorSettingsDialog(const media::codecs::CodecOptions& options,
                                                   const EncoderSettings& current, QWidget* parent)
    : QDialog(parent), options_(options) {
    setObjectName("compressorSettings");
    setWindowTitle(tr("%1 Settings").arg(QString::fromStdString(options.title)));
    auto* form = new QFormLayout;

    if (options.hasRateChoice()) {
        rateControl_ = new QComboBox(this);
        rateControl_->setObjectName("rateControl");
        rateControl_->addItem(tr("Target bitrate"), static_cast<int>(RateControl::Bitrate));
        rateControl_->addItem(tr("Constant quality"),
                              static_cast<int>(RateControl::ConstantQuality));
        form->addRow(tr("Rate control:"), rateControl_);
        connect(rateControl_, &QComboBox::currentIndexChanged, this,
                &CompressorSettingsDialog::updateEnabled);
    }
    if (options.hasBitrate) {
        bitrate_ = new QSpinBox(this);
        bitrate_->setObjectName("bitrate");
        bitrate_->setRange(static_cast<int>(options.minBitrate / kBitsPerKbit),
                           static_cast<int>(options.maxBitrate / kBitsPerKbit));
        bitrate_->setSuffix(tr(" kbit/s"));
        form->addRow(options.encoder == "libvpx" ? tr("Bitrate (ceiling in constant quality):")
                                                 : tr("Bitrate:"),
                     bitrate_);
    }
    if (options.qualityMethod != QualityMethod::None) {
        quality_ = new QSpinBox(this);
        quality_->setObjectName("quality");
        quality_->setRange(options.quality.min, options.quality.max);
        quality_->setToolTip(options.quality.lowerIsBetter
                                 ? tr("Lower values give better pictures and larger files.")
                                 : tr("Higher values give better pictures and larger files."));
        form->addRow(QString::fromStdString(options.quality.label) + ":", quality_);
    }
    if (options.hasKeyFrameInterval) {
        keyFrameInterval_ = new QSpinBox(this);
        keyFrameInterval_->setObjectName("keyFrameInterval");
        keyFrameInterval_->setRange(1, options.maxKeyFrameInterval);
        keyFrameInterval_->setSuffix(tr(" frames"));
        form->addRow(tr("Key frame at most every:"), keyFrameInterval_);
    }
    if (options.preset) {
        preset_ = choiceBox(*options.preset, "preset", this);
        form->addRow(QString::fromStdString(options.preset->label) + ":", preset_);
    }
    if (options.tune) {
        tune_ = choiceBox(*options.tune, "tune", this);
        form->addRow(QString::fromStdString(options.tune->label) + ":", tune_);
    }

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    buttons->button(QDialogButtonBox::RestoreDefaults)->setObjectName("defaults");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            [this] { showSettings(options_.defaults); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    showSettings(options.accepts(current) ? current : options.defaults);
}

void CompressorSettingsDialog::showSettings(const EncoderSettings& s) {
    if (rateControl_)
        rateControl_->setCurrentIndex(rateControl_->findData(static_cast<int>(s.rateControl)));
    if (bitrate_) bitrate_->setValue(static_cast<int>(s.bitrate / kBitsPerKbit));
    if (quality_) quality_->setValue(s.quality);
    if (keyFrameInterval_) keyFrameInterval_->setValue(s.keyFrameInterval);
    selectValue(preset_, s.preset);
    selectValue(tune_, s.tune);
    updateEnabled();
}

RateControl CompressorSettingsDialog::rateControl() const {
    if (rateControl_) return static_cast<RateControl>(rateControl_->currentData().toInt());
    return options_.hasBitrate
               ? RateControl::Bitrate
               : (options_.qualityMethod != QualityMethod::None ? RateControl::ConstantQuality
                                                                : options_.defaults.rateControl);
}

void CompressorSettingsDialog::updateEnabled() {
    const bool byQuality = rateControl() == RateControl::ConstantQuality;
    if (bitrate_) bitrate_->setEnabled(!byQuality || options_.encoder == "libvpx");
    if (quality_) quality_->setEnabled(byQuality);
}

EncoderSettings CompressorSettingsDialog::settings() const {
    EncoderSettings s = options_.defaults;
    s.rateControl = rateControl();
    if (bitrate_) s.bitrate = static_cast<std::int64_t>(bitrate_->value()) * kBitsPerKbit;
    if (quality_) s.quality = quality_->value();
    if (keyFrameInterval_) s.keyFrameInterval = keyFrameInterval_->value();
    if (preset_) s.preset = chosenValue(preset_);
    if (tune_) s.tune = chosenValue(tune_);
    return s;
}
