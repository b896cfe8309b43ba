// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The media platform's description of a stream: GUIDs, WAVEFORMATEX, VIDEOINFOHEADER and
// the media type that carries them. Profiles and DSM files store these records byte for
// byte, so each structure converts to and from its exact little-endian layout.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace media::wm {

struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    bool operator==(const Guid&) const = default;
    bool isNull() const { return *this == Guid{}; }
    // The platform's in-memory layout: the first three fields little-endian, then data4.
    std::array<std::uint8_t, 16> bytes() const;
    static Guid fromBytes(const std::uint8_t* p);
    std::string toString() const;  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
};

// {XXXXXXXX-0000-0010-8000-00AA00389B71}: the subtype of a four-character code or wave tag.
Guid subtypeFromCode(std::uint32_t code);
constexpr std::uint32_t fourcc(const char (&s)[5]) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[0])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[3])) << 24;
}
std::string fourccText(std::uint32_t code);

namespace guids {
extern const Guid kMediaTypeVideo;      // {73646976-0000-0010-8000-00AA00389B71}
extern const Guid kMediaTypeAudio;      // {73647561-0000-0010-8000-00AA00389B71}
extern const Guid kMediaTypeScript;     // {73636D64-0000-0010-8000-00AA00389B71}
extern const Guid kFormatVideoInfo;     // {05589F80-C356-11CE-BF01-00AA0055595A}
extern const Guid kFormatWaveFormatEx;  // {05589F81-C356-11CE-BF01-00AA0055595A}
extern const Guid kFormatMpeg2Video;    // {E06D80E3-DB46-11CF-B4D1-00805F6CBBEA}
extern const Guid kFormatScript;        // {5C8510F2-DEBE-4CA7-BBA5-F07A104F8DFF}
extern const Guid kMutexBitrate;        // {D6E22A01-35DA-11D1-9034-00A0C90349BE}
extern const Guid kSubtypeRgb24;        // {E436EB7D-524F-11CE-9F53-0020AF0BA770}
}  // namespace guids

struct WaveFormatEx {
    static constexpr std::size_t kSize = 18;
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::vector<std::uint8_t> extra;  // cbSize bytes

    std::vector<std::uint8_t> toBytes() const;
    // Reads 18 bytes and the cbSize extra bytes; nothing when the block is too short.
    static std::optional<WaveFormatEx> fromBytes(const std::vector<std::uint8_t>& b);
};

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct BitmapInfoHeader {
    static constexpr std::size_t kSize = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;  // positive: rows bottom-up for RGB
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;  // a four-character code; 0 for uncompressed RGB
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

struct VideoInfoHeader {
    static constexpr std::size_t kSize = 16 + 16 + 4 + 4 + 8 + BitmapInfoHeader::kSize;  // 88
    Rect source;
    Rect target;
    std::uint32_t bitRate = 0;
    std::uint32_t bitErrorRate = 0;
    std::int64_t avgTimePerFrame = 0;  // 100-ns ticks
    BitmapInfoHeader bmi;
    std::vector<std::uint8_t> extra;  // codec data after the header

    std::vector<std::uint8_t> toBytes() const;
    static std::optional<VideoInfoHeader> fromBytes(const std::vector<std::uint8_t>& b);
};

struct MediaType {
    Guid majorType;
    Guid subtype;
    bool fixedSizeSamples = false;
    bool temporalCompression = false;
    std::uint32_t sampleSize = 0;
    Guid formatType;
    std::vector<std::uint8_t> format;  // pbFormat, cbFormat bytes

    bool operator==(const MediaType&) const = default;
    std::optional<WaveFormatEx> waveFormat() const;
    std::optional<VideoInfoHeader> videoInfo() const;
};

MediaType audioMediaType(const WaveFormatEx& wf);
MediaType videoMediaType(const VideoInfoHeader& vih, const Guid& subtype, bool temporalCompression);

}  // namespace media::wm
