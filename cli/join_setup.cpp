// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/join_setup.h"

#include <QFileInfo>
#include <QStringList>
#include <cmath>

#include "app/program_settings.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "media/codecs/compressor_registry.h"
#include "media/codecs/stored_compressors.h"
#include "output/output_option_values.h"
#include "ui/message_box.h"

namespace cli {
namespace {

using media::codecs::CompressorCategory;
using media::codecs::CompressorRef;

// The preset row of a rate, or the custom row.
int frameRateRow(double rate) {
    for (int i = 0; i < output::kCustomRateRow; ++i)
        if (std::abs(presetFrameRate(i) - rate) < 1e-6) return i;
    return output::kCustomRateRow;
}

// The compressor a name chooses: an encoder name ("mpeg4") or the name the lists show,
// either case. Sets `use` to 0 for "none".
QString chooseCompressor(CompressorCategory category, const QString& name, CompressorRef& bound,
                         std::int32_t& use) {
    if (name.compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0) {
        bound.reset();
        use = 0;
        return {};
    }
    const std::optional<int> index = media::codecs::findCompressor(category, name.toStdString());
    if (index) {
        const media::Status st = media::codecs::bindCompressor(category, *index, &bound);
        if (st.failed() || !bound) return QString::fromStdString(st.text());
        use = 1;
        return {};
    }
    QStringList known;
    for (const auto& device : media::codecs::installedCompressors().devices(category))
        known << QString::fromStdString(device.encoder);
    return QStringLiteral("No %1 compressor is called \"%2\". Installed: none, %3")
        .arg(category == CompressorCategory::Video ? QStringLiteral("video") : QStringLiteral("audio"), name,
             known.join(QStringLiteral(", ")));
}

void readStored(const SettingsStore& store, const QString& output, std::optional<int> format, JoinSetup& setup) {
    OutputOptions& o = setup.options;
    o.outputFormat = store.readInt(settings::kSettings, settings::kOutputFormat, settings::kDefaultOutputFormat);
    // A compressor never chosen is the preferred one of the format this join writes.
    if (format) o.outputFormat = *format;
    const StoredCompressorChoice choice = readCompressorChoice(store);
    media::codecs::ResolvedCompressors resolved =
        media::codecs::ResolveStoredCompressors({choice.video, choice.audio, o.outputFormat});
    for (const media::Status& failure : resolved.messages)
        ui::showPlainMessage(nullptr, QString::fromStdString(failure.text()));
    setup.compressors.video = std::move(resolved.pVideoCompressor);
    setup.compressors.audio = std::move(resolved.pAudioCompressor);
    o.useVideoCompressor = resolved.useVideoCompressor;
    o.useAudioCompressor = resolved.useAudioCompressor;
    setup.transitions = readTransitionDefaults(store);
    readOutputOptions(store, output, o);
}

}  // namespace

QString setUpJoin(const JoinRequest& r, const SettingsStore& store, JoinSetup& setup) {
    const QString output = QFileInfo(r.output).absoluteFilePath();
    readStored(store, output, r.format, setup);
    OutputOptions& o = setup.options;
    o.outputName = output;
    if (r.format) o.outputFormat = *r.format;
    if (r.width && r.height) {
        o.outputWidth = *r.width;
        o.outputHeight = *r.height;
    }
    if (r.frameRate) {
        o.frameRate = *r.frameRate;
        o.frameRateIndex = frameRateRow(*r.frameRate);
    }
    if (r.originalFrameRate) o.frameRateIndex = output::kOriginalRateRow;
    if (r.reencodeAll) o.copyUnchanged = 0;
    if (r.resizeMode) o.resizeMode = *r.resizeMode;
    if (r.transitionMode) setup.transitions.mode = *r.transitionMode;
    if (r.effect) setup.transitions.effectIndex = *r.effect;
    if (r.transitionSeconds) setup.transitions.durationSeconds = *r.transitionSeconds;

    if (r.videoCodec) {
        const QString wrong =
            chooseCompressor(CompressorCategory::Video, *r.videoCodec, setup.compressors.video, o.useVideoCompressor);
        if (!wrong.isEmpty()) return wrong;
    }
    if (r.audioCodec) {
        const QString wrong =
            chooseCompressor(CompressorCategory::Audio, *r.audioCodec, setup.compressors.audio, o.useAudioCompressor);
        if (!wrong.isEmpty()) return wrong;
    }
    // The Windows Media profile takes the bitrates from the options; a compressor is told
    // them for this join without touching the configuration its codec keeps.
    if (r.videoBitrate) {
        o.videoBitrate = *r.videoBitrate;
        if (setup.compressors.video) setup.compressors.video = setup.compressors.video->withBitrate(*r.videoBitrate);
    }
    if (r.audioBitrate) {
        o.audioBitrate = *r.audioBitrate;
        if (setup.compressors.audio) setup.compressors.audio = setup.compressors.audio->withBitrate(*r.audioBitrate);
    }
    return {};
}

}  // namespace cli
