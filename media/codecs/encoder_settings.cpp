// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/codecs/encoder_settings.h"

#include <algorithm>
#include <array>
#include <cstring>

extern "C" {
#include <libavutil/crc.h>
}

namespace media::codecs {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic{'C', 'F', 'E', 'S'};
constexpr std::uint16_t kVersion = 1;
// magic, version, name length, [name], rate control, bitrate, quality, key-frame interval,
// preset, tune, checksum
constexpr std::size_t kFixedSize = 4 + 2 + 1 + 1 + 8 + 4 + 4 + 2 * kStateTextField + 4;

std::uint32_t checksum(const std::uint8_t* data, std::size_t size) {
    return av_crc(av_crc_get_table(AV_CRC_32_IEEE_LE), 0xFFFFFFFFu, data, size) ^ 0xFFFFFFFFu;
}

// Little-endian writer and reader, so a state file means the same on every machine.
class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
    void u8(std::uint8_t v) { out_.push_back(v); }
    void le(std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void bytes(const void* p, std::size_t n) {
        auto b = static_cast<const std::uint8_t*>(p);
        out_.insert(out_.end(), b, b + n);
    }
    void text(const std::string& s, std::size_t field) {
        std::array<std::uint8_t, kStateTextField> buf{};
        std::memcpy(buf.data(), s.data(), std::min(s.size(), field - 1));
        bytes(buf.data(), field);
    }

private:
    std::vector<std::uint8_t>& out_;
};

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> in) : in_(in) {}
    std::uint64_t le(int bytes) {
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint64_t>(in_[pos_++]) << (8 * i);
        return v;
    }
    std::uint8_t u8() { return in_[pos_++]; }
    std::span<const std::uint8_t> take(std::size_t n) {
        auto s = in_.subspan(pos_, n);
        pos_ += n;
        return s;
    }
    // A zero-terminated text inside its field; nothing when the field has no terminator.
    std::optional<std::string> text(std::size_t field) {
        auto s = take(field);
        auto end = std::find(s.begin(), s.end(), std::uint8_t{0});
        if (end == s.end()) return std::nullopt;
        return std::string(s.begin(), end);
    }

private:
    std::span<const std::uint8_t> in_;
    std::size_t pos_ = 0;
};

}  // namespace

std::size_t stateSizeFor(const std::string& codec) {
    return kFixedSize + std::min(codec.size(), kMaxStateCodecName);
}

std::vector<std::uint8_t> serializeSettings(const std::string& codec, const EncoderSettings& s) {
    const std::string name = codec.substr(0, kMaxStateCodecName);
    std::vector<std::uint8_t> out;
    out.reserve(stateSizeFor(codec));
    Writer w(out);
    w.bytes(kMagic.data(), kMagic.size());
    w.le(kVersion, 2);
    w.u8(static_cast<std::uint8_t>(name.size()));
    w.bytes(name.data(), name.size());
    w.u8(static_cast<std::uint8_t>(s.rateControl));
    w.le(static_cast<std::uint64_t>(s.bitrate), 8);
    w.le(static_cast<std::uint32_t>(s.quality), 4);
    w.le(static_cast<std::uint32_t>(s.keyFrameInterval), 4);
    w.text(s.preset, kStateTextField);
    w.text(s.tune, kStateTextField);
    w.le(checksum(out.data(), out.size()), 4);
    return out;
}

std::optional<EncoderSettings> parseSettings(const std::string& codec,
                                             std::span<const std::uint8_t> bytes) {
    const std::string name = codec.substr(0, kMaxStateCodecName);
    if (bytes.size() != stateSizeFor(codec)) return std::nullopt;
    Reader r(bytes);
    auto magic = r.take(kMagic.size());
    if (!std::equal(magic.begin(), magic.end(), kMagic.begin())) return std::nullopt;
    if (r.le(2) != kVersion) return std::nullopt;
    if (r.u8() != name.size()) return std::nullopt;
    auto storedName = r.take(name.size());
    if (!std::equal(storedName.begin(), storedName.end(), name.begin())) return std::nullopt;

    const std::size_t body = bytes.size() - 4;
    const auto expected = static_cast<std::uint32_t>(Reader(bytes.subspan(body)).le(4));
    if (checksum(bytes.data(), body) != expected) return std::nullopt;

    EncoderSettings s;
    const std::uint8_t mode = r.u8();
    if (mode > static_cast<std::uint8_t>(RateControl::ConstantQuality)) return std::nullopt;
    s.rateControl = static_cast<RateControl>(mode);
    s.bitrate = static_cast<std::int64_t>(r.le(8));
    s.quality = static_cast<std::int32_t>(static_cast<std::uint32_t>(r.le(4)));
    s.keyFrameInterval = static_cast<std::int32_t>(static_cast<std::uint32_t>(r.le(4)));
    auto preset = r.text(kStateTextField);
    auto tune = r.text(kStateTextField);
    if (!preset || !tune) return std::nullopt;
    s.preset = *preset;
    s.tune = *tune;
    return s;
}

}  // namespace media::codecs
