// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/codecs/compressor_registry.h"

#include "media/codecs/compressor_catalogue.h"
#include "media/writers/output_format.h"

namespace media::codecs {

CompressorRegistry::CompressorRegistry(std::vector<CompressorDevice> video,
                                       std::vector<CompressorDevice> audio,
                                       std::shared_ptr<const CodecStateStore> store)
    : video_(std::move(video)), audio_(std::move(audio)), store_(std::move(store)) {}

const CompressorRegistry& installedCompressors() {
    static const CompressorRegistry registry(enumerateCompressors(CompressorCategory::Video),
                                             enumerateCompressors(CompressorCategory::Audio),
                                             userCodecStateStore());
    return registry;
}

std::string asciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::optional<int> findPreferredCompressor(CompressorCategory category,
                                           const CompressorRegistry& registry, int outputFormat) {
    const bool modern = outputFormat == static_cast<int>(OutputFormat::Mp4) ||
                        outputFormat == static_cast<int>(OutputFormat::Matroska);
    if (modern) {
        const auto& devices = registry.devices(category);
        const char* encoder = category == CompressorCategory::Video ? "libx264" : "aac";
        for (std::size_t i = 0; i < devices.size(); ++i)
            if (devices[i].encoder == encoder) return static_cast<int>(i);
        // Without them, the name search below still finds a compressor these files hold.
    }
    const std::string wanted =
        category == CompressorCategory::Video ? kVideoPreferenceText : kAudioPreferenceText;
    const auto& devices = registry.devices(category);
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (asciiLower(devices[i].friendlyName).find(wanted) != std::string::npos)
            return static_cast<int>(i);
    return std::nullopt;
}

std::optional<int> FindPreferredVideoCompressor(const CompressorRegistry& registry) {
    return findPreferredCompressor(CompressorCategory::Video, registry);
}

std::optional<int> FindPreferredAudioCompressor(const CompressorRegistry& registry) {
    return findPreferredCompressor(CompressorCategory::Audio, registry);
}

namespace {

Status bind(CompressorCategory category, int index, CompressorRef* out,
            const CompressorRegistry& registry, const char* invalidPointerText) {
    if (!out) return Status::invalidArg(invalidPointerText);
    out->reset();
    const auto& devices = registry.devices(category);
    if (index < 0 || static_cast<std::size_t>(index) >= devices.size()) return Status::ok();
    const CompressorDevice& device = devices[static_cast<std::size_t>(index)];
    const AVCodec* codec = avcodec_find_encoder_by_name(device.encoder.c_str());
    const AVMediaType type =
        category == CompressorCategory::Video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO;
    if (!codec || codec->type != type) return Status::fail("Failed to bind to object");
    *out = std::make_shared<const Compressor>(device, codec, registry.store());
    return Status::ok();
}

}  // namespace

Status GetCompressor(int index, CompressorRef* out, const CompressorRegistry& registry) {
    return bind(CompressorCategory::Video, index, out, registry,
                "GetCompressor received invalid pointer");
}

Status GetAudioCompressor(int index, CompressorRef* out, const CompressorRegistry& registry) {
    return bind(CompressorCategory::Audio, index, out, registry,
                "GetAudioCompressor received invalid pointer");
}

Status bindCompressor(CompressorCategory category, int index, CompressorRef* out,
                      const CompressorRegistry& registry) {
    return category == CompressorCategory::Video ? GetCompressor(index, out, registry)
                                                 : GetAudioCompressor(index, out, registry);
}

std::optional<int> findCompressor(CompressorCategory category, const std::string& name,
                                  const CompressorRegistry& registry) {
    const std::string wanted = asciiLower(name);
    const auto& devices = registry.devices(category);
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (asciiLower(devices[i].encoder) == wanted || asciiLower(devices[i].friendlyName) == wanted)
            return static_cast<int>(i);
    return std::nullopt;
}

std::vector<std::string> compressorListRows(CompressorCategory category,
                                            const CompressorRegistry& registry) {
    std::vector<std::string> rows{category == CompressorCategory::Video ? kUncompressedVideoRow
                                                                        : kUncompressedAudioRow};
    for (const auto& d : registry.devices(category)) rows.push_back(d.friendlyName);
    return rows;
}

int preferredCompressorRow(CompressorCategory category, const CompressorRegistry& registry,
                           int outputFormat) {
    auto found = findPreferredCompressor(category, registry, outputFormat);
    return found ? *found + 1 : 0;
}

int initialCompressorRow(CompressorCategory category, int storedNumber,
                         const CompressorRegistry& registry, int outputFormat) {
    if (storedNumber == -2) return preferredCompressorRow(category, registry, outputFormat);
    const auto rows = static_cast<long long>(registry.devices(category).size()) + 1;
    const long long row = static_cast<long long>(storedNumber) + 1;
    return row >= 0 && row < rows ? static_cast<int>(row) : -1;
}

}  // namespace media::codecs
