// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/wm/media_type.h"

#include <cstdio>

namespace media::wm {
namespace {

void put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put64(std::vector<std::uint8_t>& b, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
std::uint16_t get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint64_t get64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(get32(p)) | static_cast<std::uint64_t>(get32(p + 4)) << 32;
}
void putRect(std::vector<std::uint8_t>& b, const Rect& r) {
    for (std::int32_t v : {r.left, r.top, r.right, r.bottom})
        put32(b, static_cast<std::uint32_t>(v));
}
Rect getRect(const std::uint8_t* p) {
    return {static_cast<std::int32_t>(get32(p)), static_cast<std::int32_t>(get32(p + 4)),
            static_cast<std::int32_t>(get32(p + 8)), static_cast<std::int32_t>(get32(p + 12))};
}

constexpr Guid baseGuid(std::uint32_t d1) {
    return {d1, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

}  // namespace

namespace guids {
const Guid kMediaTypeVideo = baseGuid(0x73646976);
const Guid kMediaTypeAudio = baseGuid(0x73647561);
const Guid kMediaTypeScript = baseGuid(0x73636D64);
const Guid kFormatVideoInfo{
    0x05589F80, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
const Guid kFormatWaveFormatEx{
    0x05589F81, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
const Guid kFormatMpeg2Video{
    0xE06D80E3, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};
const Guid kFormatScript{
    0x5C8510F2, 0xDEBE, 0x4CA7, {0xBB, 0xA5, 0xF0, 0x7A, 0x10, 0x4F, 0x8D, 0xFF}};
const Guid kMutexBitrate{
    0xD6E22A01, 0x35DA, 0x11D1, {0x90, 0x34, 0x00, 0xA0, 0xC9, 0x03, 0x49, 0xBE}};
const Guid kSubtypeRgb24{
    0xE436EB7D, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
}  // namespace guids

std::array<std::uint8_t, 16> Guid::bytes() const {
    std::vector<std::uint8_t> b;
    put32(b, data1);
    put16(b, data2);
    put16(b, data3);
    std::array<std::uint8_t, 16> out{};
    for (int i = 0; i < 8; ++i) out[i] = b[i];
    for (int i = 0; i < 8; ++i) out[8 + i] = data4[i];
    return out;
}

Guid Guid::fromBytes(const std::uint8_t* p) {
    Guid g{get32(p), get16(p + 4), get16(p + 6), {}};
    for (int i = 0; i < 8; ++i) g.data4[i] = p[8 + i];
    return g;
}

std::string Guid::toString() const {
    char s[40];
    std::snprintf(s, sizeof s, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", data1, data2,
                  data3, data4[0], data4[1], data4[2], data4[3], data4[4], data4[5], data4[6],
                  data4[7]);
    return s;
}

Guid subtypeFromCode(std::uint32_t code) {
    return baseGuid(code);
}

std::string fourccText(std::uint32_t code) {
    std::string s;
    for (int i = 0; i < 4; ++i) {
        char c = static_cast<char>((code >> (8 * i)) & 0xFF);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

std::vector<std::uint8_t> WaveFormatEx::toBytes() const {
    std::vector<std::uint8_t> b;
    put16(b, formatTag);
    put16(b, channels);
    put32(b, samplesPerSec);
    put32(b, avgBytesPerSec);
    put16(b, blockAlign);
    put16(b, bitsPerSample);
    put16(b, static_cast<std::uint16_t>(extra.size()));
    b.insert(b.end(), extra.begin(), extra.end());
    return b;
}

std::optional<WaveFormatEx> WaveFormatEx::fromBytes(const std::vector<std::uint8_t>& b) {
    if (b.size() < kSize) return std::nullopt;
    const std::uint8_t* p = b.data();
    WaveFormatEx w;
    w.formatTag = get16(p);
    w.channels = get16(p + 2);
    w.samplesPerSec = get32(p + 4);
    w.avgBytesPerSec = get32(p + 8);
    w.blockAlign = get16(p + 12);
    w.bitsPerSample = get16(p + 14);
    std::size_t cb = get16(p + 16);
    if (b.size() < kSize + cb) return std::nullopt;
    w.extra.assign(p + kSize, p + kSize + cb);
    return w;
}

std::vector<std::uint8_t> VideoInfoHeader::toBytes() const {
    std::vector<std::uint8_t> b;
    putRect(b, source);
    putRect(b, target);
    put32(b, bitRate);
    put32(b, bitErrorRate);
    put64(b, static_cast<std::uint64_t>(avgTimePerFrame));
    put32(b, static_cast<std::uint32_t>(BitmapInfoHeader::kSize + extra.size()));
    put32(b, static_cast<std::uint32_t>(bmi.width));
    put32(b, static_cast<std::uint32_t>(bmi.height));
    put16(b, bmi.planes);
    put16(b, bmi.bitCount);
    put32(b, bmi.compression);
    put32(b, bmi.sizeImage);
    put32(b, static_cast<std::uint32_t>(bmi.xPelsPerMeter));
    put32(b, static_cast<std::uint32_t>(bmi.yPelsPerMeter));
    put32(b, bmi.clrUsed);
    put32(b, bmi.clrImportant);
    b.insert(b.end(), extra.begin(), extra.end());
    return b;
}

std::optional<VideoInfoHeader> VideoInfoHeader::fromBytes(const std::vector<std::uint8_t>& b) {
    if (b.size() < kSize) return std::nullopt;
    const std::uint8_t* p = b.data();
    VideoInfoHeader v;
    v.source = getRect(p);
    v.target = getRect(p + 16);
    v.bitRate = get32(p + 32);
    v.bitErrorRate = get32(p + 36);
    v.avgTimePerFrame = static_cast<std::int64_t>(get64(p + 40));
    const std::uint8_t* h = p + 48;
    v.bmi.width = static_cast<std::int32_t>(get32(h + 4));
    v.bmi.height = static_cast<std::int32_t>(get32(h + 8));
    v.bmi.planes = get16(h + 12);
    v.bmi.bitCount = get16(h + 14);
    v.bmi.compression = get32(h + 16);
    v.bmi.sizeImage = get32(h + 20);
    v.bmi.xPelsPerMeter = static_cast<std::int32_t>(get32(h + 24));
    v.bmi.yPelsPerMeter = static_cast<std::int32_t>(get32(h + 28));
    v.bmi.clrUsed = get32(h + 32);
    v.bmi.clrImportant = get32(h + 36);
    v.extra.assign(p + kSize, p + b.size());
    return v;
}

std::optional<WaveFormatEx> MediaType::waveFormat() const {
    if (formatType != guids::kFormatWaveFormatEx) return std::nullopt;
    return WaveFormatEx::fromBytes(format);
}

std::optional<VideoInfoHeader> MediaType::videoInfo() const {
    if (formatType != guids::kFormatVideoInfo) return std::nullopt;
    return VideoInfoHeader::fromBytes(format);
}

MediaType audioMediaType(const WaveFormatEx& wf) {
    MediaType mt;
    mt.majorType = guids::kMediaTypeAudio;
    mt.subtype = subtypeFromCode(wf.formatTag);
    mt.fixedSizeSamples = true;
    mt.temporalCompression = false;
    mt.sampleSize = wf.blockAlign;
    mt.formatType = guids::kFormatWaveFormatEx;
    mt.format = wf.toBytes();
    return mt;
}

MediaType videoMediaType(const VideoInfoHeader& vih, const Guid& subtype,
                         bool temporalCompression) {
    MediaType mt;
    mt.majorType = guids::kMediaTypeVideo;
    mt.subtype = subtype;
    mt.fixedSizeSamples = !temporalCompression;
    mt.temporalCompression = temporalCompression;
    mt.sampleSize = temporalCompression ? 0 : vih.bmi.sizeImage;
    mt.formatType = guids::kFormatVideoInfo;
    mt.format = vih.toBytes();
    return mt;
}

}  // namespace media::wm
