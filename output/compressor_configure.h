// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <functional>

#include "media/codecs/codec_configuration.h"
#include "media/codecs/compressor_registry.h"
#include "media/core/status.h"

class QWidget;
class CompressorSettingsDialog;

// Runs a codec's configuration dialog and returns its QDialog result; the program runs it
// modally (exec), tests drive it from code.
using CompressorDialogRunner = std::function<int(CompressorSettingsDialog&)>;

// The output options dialog's Settings button: configures the codec of the video
// compressor named `chosenName` (the selected row's text) in a dialog owned by `owner`.
// No matching codec, or one with nothing to configure, simply ends it. A failure is only
// returned when the accepted configuration could not be saved; the caller shows it.
media::Status ConfigureVideoCompressor(QWidget* owner, const QString& chosenName,
                                       const CompressorDialogRunner& run = {});
media::Status ConfigureVideoCompressor(QWidget* owner, const QString& chosenName,
                                       const media::codecs::CompressorRegistry& registry,
                                       media::codecs::CodecStateBuffer& buffer,
                                       const CompressorDialogRunner& run);
