// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stored_output_settings.h"

#include "app/settings_names.h"
#include "app/settings_store.h"
#include "output/compressor_answer_cache.h"

namespace {

const QString& compressorSection(media::codecs::CompressorCategory category) {
    return category == media::codecs::CompressorCategory::Video ? settings::kVideoCompress
                                                                : settings::kAudioCompress;
}

}  // namespace

int StoredOutputSettings::compressorNumber(media::codecs::CompressorCategory category) const {
    return store_.readInt(compressorSection(category), settings::kCompressorNumber,
                          settings::kAutomaticCompressor);
}

QString StoredOutputSettings::compressorAnswersFile() const {
    return output::compressorAnswersFileBeside(store_.filePath());
}

void StoredOutputSettings::write(const output::StoredOutputValues& v) {
    using namespace settings;
    using media::codecs::CompressorCategory;
    store_.writeInt(kSettings, kOutputFrameRateIndex, v.frameRateIndex);
    store_.writeText(kSettings, kOutputFrameRate, v.frameRate);
    store_.writeText(kSettings, kOutputName, v.outputName);
    store_.writeInt(kSettings, kOutputWidth, v.outputWidth);
    store_.writeInt(kSettings, kOutputHeight, v.outputHeight);
    store_.writeInt(compressorSection(CompressorCategory::Video), kCompressorNumber,
                    v.videoCompressorNumber);
    store_.writeInt(compressorSection(CompressorCategory::Audio), kCompressorNumber,
                    v.audioCompressorNumber);
    store_.writeInt(kSettings, kVideoBitrate, v.videoBitrate);
    store_.writeInt(kSettings, kAudioBitrate, v.audioBitrate);
    store_.writeInt(kSettings, kOutputFormat, v.outputFormat);
    store_.writeInt(kSettings, kCopyUnchanged, v.copyUnchanged);
}
