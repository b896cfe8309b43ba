// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "media/codecs/codec_state_store.h"
#include "media/codecs/compressor.h"
#include "media/codecs/compressor_device.h"
#include "media/core/status.h"

namespace media::codecs {

// The compressor devices of both categories, in their enumeration order, and the store in
// which their codecs keep their configuration. The program uses the installed one; tests
// make their own with whatever devices they need.
class CompressorRegistry {
public:
    CompressorRegistry(std::vector<CompressorDevice> video, std::vector<CompressorDevice> audio,
                       std::shared_ptr<const CodecStateStore> store);

    const std::vector<CompressorDevice>& devices(CompressorCategory category) const {
        return category == CompressorCategory::Video ? video_ : audio_;
    }
    const std::shared_ptr<const CodecStateStore>& store() const { return store_; }

private:
    std::vector<CompressorDevice> video_;
    std::vector<CompressorDevice> audio_;
    std::shared_ptr<const CodecStateStore> store_;
};

// The compressors installed with the linked libraries, enumerated once, with the user's
// codec settings store.
const CompressorRegistry& installedCompressors();

// Texts the lists and lookups use.
inline constexpr const char* kUncompressedVideoRow = "Full frames (uncompressed)";
inline constexpr const char* kUncompressedAudioRow = "Uncompressed Audio";
inline constexpr const char* kVideoPreferenceText = "divx";
inline constexpr const char* kAudioPreferenceText = "microsoft adpcm";

// The index of the first device whose friendly name, lower-cased, holds the category's
// preference text; nothing when no device does.
std::optional<int> FindPreferredVideoCompressor(
    const CompressorRegistry& registry = installedCompressors());
std::optional<int> FindPreferredAudioCompressor(
    const CompressorRegistry& registry = installedCompressors());
// For an output format code (0 AVI ... 6 Ogg): MP4 and Matroska prefer H.264 (libx264)
// and AAC, the formats of today's players; the others, and kAnyOutputFormat, search the
// names as above.
inline constexpr int kAnyOutputFormat = -1;
std::optional<int> findPreferredCompressor(CompressorCategory category,
                                           const CompressorRegistry& registry,
                                           int outputFormat = kAnyOutputFormat);

// The index of the device whose encoder name ("mpeg4") or list name is `name`, in either
// case; nothing when no device is called that.
std::optional<int> findCompressor(CompressorCategory category, const std::string& name,
                                  const CompressorRegistry& registry = installedCompressors());

// Binds the device with `index` to a compressor in *out. A missing output place is refused
// with its message; an index outside the list (negative included) leaves *out empty and is
// no failure; a device whose encoder is gone fails with "Failed to bind to object".
Status GetCompressor(int index, CompressorRef* out,
                     const CompressorRegistry& registry = installedCompressors());
Status GetAudioCompressor(int index, CompressorRef* out,
                          const CompressorRegistry& registry = installedCompressors());
// GetCompressor or GetAudioCompressor, as `category` says.
Status bindCompressor(CompressorCategory category, int index, CompressorRef* out,
                      const CompressorRegistry& registry = installedCompressors());

// The rows of a compressor list: the category's uncompressed row, then every device.
std::vector<std::string> compressorListRows(CompressorCategory category,
                                            const CompressorRegistry& registry);
// The row a compressor list opens with for the stored choice (-2 never chosen, -1 none,
// n >= 0 device n); -1 for no selection when the stored device is beyond the list.
int initialCompressorRow(CompressorCategory category, int storedNumber,
                         const CompressorRegistry& registry, int outputFormat = kAnyOutputFormat);
// The row of the preferred compressor, or 0 when there is none (the Default button).
int preferredCompressorRow(CompressorCategory category, const CompressorRegistry& registry,
                           int outputFormat = kAnyOutputFormat);

// The "CompressorNumber" the output dialog's OK stores for a list row: row - 1, and -2
// (never chosen) when no row is selected.
inline int storedNumberForRow(int row) {
    return row < 0 ? -2 : row - 1;
}

// ASCII lower case, as the preference search compares names.
std::string asciiLower(std::string text);

}  // namespace media::codecs
