// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/compressor_configure.h"

#include "output/compressor_settings_dialog.h"

using namespace media::codecs;

media::Status ConfigureVideoCompressor(QWidget* owner, const QString& chosenName,
                                       const CompressorDialogRunner& run) {
    return ConfigureVideoCompressor(owner, chosenName, installedCompressors(),
                                    processCodecStateBuffer(), run);
}

media::Status ConfigureVideoCompressor(QWidget* owner, const QString& chosenName,
                                       const CompressorRegistry& registry, CodecStateBuffer& buffer,
                                       const CompressorDialogRunner& run) {
    // The table is rebuilt on every press: it is cheap, and reflects the codecs as they are.
    const auto table = buildCodecTable(registry.devices(CompressorCategory::Video));
    auto dialog = [&](const CodecOptions& options,
                      const EncoderSettings& current) -> std::optional<EncoderSettings> {
        CompressorSettingsDialog dlg(options, current, owner);
        const int result = run ? run(dlg) : dlg.exec();
        if (result != QDialog::Accepted) return std::nullopt;
        return dlg.settings();
    };
    return configureVideoCodec(chosenName.toStdString(), table, buffer, registry.store(), dialog)
        .status;
}
