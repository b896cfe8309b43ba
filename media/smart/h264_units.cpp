// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/smart/h264_units.h"

#include <algorithm>

namespace media::smart {
namespace {

// Reads the bits of a NAL unit's payload, leaving out the emulation prevention bytes
// (the 03 of 00 00 03) that keep start codes out of it.
class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool bit(int& out) {
        if (bitPos_ == 8) {
            if (!nextByte()) return false;
        }
        out = (current_ >> (7 - bitPos_)) & 1;
        ++bitPos_;
        return true;
    }
    bool bits(int n, std::uint32_t& out) {
        out = 0;
        for (int i = 0; i < n; ++i) {
            int b;
            if (!bit(b)) return false;
            out = (out << 1) | static_cast<std::uint32_t>(b);
        }
        return true;
    }
    // Exp-Golomb code, as the identifiers are written.
    bool unsignedGolomb(std::uint32_t& out) {
        int zeros = 0;
        for (int b = 0;; ++zeros) {
            if (zeros > 31 || !bit(b)) return false;
            if (b) break;
        }
        std::uint32_t rest;
        if (!bits(zeros, rest)) return false;
        out = ((1u << zeros) - 1) + rest;
        return true;
    }

private:
    bool nextByte() {
        if (pos_ >= size_) return false;
        if (pos_ >= 2 && data_[pos_] == 3 && data_[pos_ - 1] == 0 && data_[pos_ - 2] == 0) {
            if (++pos_ >= size_) return false;
        }
        current_ = data_[pos_++];
        bitPos_ = 0;
        return true;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::uint8_t current_ = 0;
    int bitPos_ = 8;
};

std::size_t startCodeAt(const std::uint8_t* p, std::size_t i, std::size_t size) {
    if (i + 3 <= size && p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 1) return 3;
    if (i + 4 <= size && p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 0 && p[i + 3] == 1) return 4;
    return 0;
}

}  // namespace

bool splitLengthPrefixed(const std::uint8_t* data, std::size_t size, int lengthSize,
                         std::vector<NalUnit>& out) {
    out.clear();
    if (lengthSize != 1 && lengthSize != 2 && lengthSize != 4) return false;
    std::size_t i = 0;
    while (i < size) {
        if (size - i < static_cast<std::size_t>(lengthSize)) return false;
        std::size_t length = 0;
        for (int b = 0; b < lengthSize; ++b) length = (length << 8) | data[i + b];
        i += static_cast<std::size_t>(lengthSize);
        if (length > size - i) return false;
        if (length > 0) out.push_back({data + i, length});
        i += length;
    }
    return true;
}

void splitAnnexB(const std::uint8_t* data, std::size_t size, std::vector<NalUnit>& out) {
    out.clear();
    std::size_t i = 0, begin = 0;
    bool inUnit = false;
    while (i < size) {
        if (const std::size_t code = startCodeAt(data, i, size)) {
            if (inUnit) {
                std::size_t end = i;
                while (end > begin && data[end - 1] == 0) --end;  // trailing zero bytes
                if (end > begin) out.push_back({data + begin, end - begin});
            }
            i += code;
            begin = i;
            inUnit = true;
        } else {
            ++i;
        }
    }
    if (inUnit && size > begin) out.push_back({data + begin, size - begin});
}

bool looksLikeAnnexB(const std::uint8_t* data, std::size_t size) {
    return startCodeAt(data, 0, size) != 0;
}

void appendWithLength(const NalUnit& unit, Bytes& out) {
    const auto n = static_cast<std::uint32_t>(unit.size);
    out.push_back(static_cast<std::uint8_t>(n >> 24));
    out.push_back(static_cast<std::uint8_t>(n >> 16));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), unit.data, unit.data + unit.size);
}

bool sequenceSetId(const NalUnit& sps, int& id) {
    if (sps.type() != kNalSps || sps.size < 5) return false;
    // header, profile_idc, constraint flags, level_idc, then the identifier
    BitReader r(sps.data + 4, sps.size - 4);
    std::uint32_t v;
    if (!r.unsignedGolomb(v) || v > 31) return false;
    id = static_cast<int>(v);
    return true;
}

bool pictureSetIds(const NalUnit& pps, int& id, int& sequenceId) {
    if (pps.type() != kNalPps || pps.size < 2) return false;
    BitReader r(pps.data + 1, pps.size - 1);
    std::uint32_t p, s;
    if (!r.unsignedGolomb(p) || p > 255 || !r.unsignedGolomb(s) || s > 31) return false;
    id = static_cast<int>(p);
    sequenceId = static_cast<int>(s);
    return true;
}

bool readAvcConfig(const std::uint8_t* data, std::size_t size, AvcConfig& out) {
    out = {};
    if (size < 7 || data[0] != 1) return false;
    out.lengthSize = (data[4] & 3) + 1;
    std::size_t i = 5;
    auto readSets = [&](int count, std::vector<Bytes>& sets) {
        for (int n = 0; n < count; ++n) {
            if (i + 2 > size) return false;
            const std::size_t length = (std::size_t{data[i]} << 8) | data[i + 1];
            i += 2;
            if (length == 0 || length > size - i) return false;
            sets.emplace_back(data + i, data + i + length);
            i += length;
        }
        return true;
    };
    if (!readSets(data[i++] & 0x1f, out.sequenceSets)) return false;
    if (i >= size) return false;
    return readSets(data[i++], out.pictureSets) && out.lengthSize != 3;
}

Bytes writeAvcConfig(const AvcConfig& config) {
    int profile = 0, level = 0, constraints = 0xff;
    for (const Bytes& sps : config.sequenceSets) {
        if (sps.size() < 4) continue;
        profile = std::max<int>(profile, sps[1]);
        constraints &= sps[2];
        level = std::max<int>(level, sps[3]);
    }
    if (constraints == 0xff) constraints = 0;
    Bytes out{1, static_cast<std::uint8_t>(profile), static_cast<std::uint8_t>(constraints),
              static_cast<std::uint8_t>(level), 0xff /* 4-byte lengths */,
              static_cast<std::uint8_t>(0xe0 | config.sequenceSets.size())};
    auto writeSet = [&out](const Bytes& set) {
        out.push_back(static_cast<std::uint8_t>(set.size() >> 8));
        out.push_back(static_cast<std::uint8_t>(set.size()));
        out.insert(out.end(), set.begin(), set.end());
    };
    for (const Bytes& sps : config.sequenceSets) writeSet(sps);
    out.push_back(static_cast<std::uint8_t>(config.pictureSets.size()));
    for (const Bytes& pps : config.pictureSets) writeSet(pps);
    // The High profiles' extension: 4:2:0, 8 bits, the only pictures we copy or encode here.
    if (profile == 100 || profile == 110 || profile == 122 || profile == 144)
        out.insert(out.end(), {0xfd, 0xf8, 0xf8, 0});
    return out;
}

}  // namespace media::smart
