// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parts of H.264's byte stream a join needs to copy pictures without decoding them:
// NAL units in both framings (length-prefixed as MP4 and Matroska store them, start codes
// as encoders and transport streams give them), the identifiers of parameter sets, and the
// decoder configuration record (avcC) that lists the parameter sets of a track.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace media::smart {

using Bytes = std::vector<std::uint8_t>;

enum NalType : int { kNalIdrSlice = 5, kNalSps = 7, kNalPps = 8 };

struct NalUnit {
    const std::uint8_t* data = nullptr;  // from the NAL header byte on
    std::size_t size = 0;
    int type() const { return size > 0 ? data[0] & 0x1f : 0; }
};

// Units each preceded by a big-endian length of `lengthSize` (1, 2 or 4) bytes. False when a
// length runs past the end, as in a damaged packet.
bool splitLengthPrefixed(const std::uint8_t* data, std::size_t size, int lengthSize,
                         std::vector<NalUnit>& out);
// Units separated by start codes (00 00 01 or 00 00 00 01).
void splitAnnexB(const std::uint8_t* data, std::size_t size, std::vector<NalUnit>& out);
// True when the data begins with a start code rather than a length.
bool looksLikeAnnexB(const std::uint8_t* data, std::size_t size);

// Appends `unit` with a 4-byte length in front, the framing of everything we write.
void appendWithLength(const NalUnit& unit, Bytes& out);

// The identifier of a sequence parameter set; of a picture parameter set and the sequence
// parameter set it refers to. False for a unit too short or damaged to say.
bool sequenceSetId(const NalUnit& sps, int& id);
bool pictureSetIds(const NalUnit& pps, int& id, int& sequenceId);

// The decoder configuration record of a track.
struct AvcConfig {
    int lengthSize = 4;
    std::vector<Bytes> sequenceSets;  // SPS NAL units, header byte included
    std::vector<Bytes> pictureSets;   // PPS NAL units
};
// Reads an avcC record; false when `data` is not one.
bool readAvcConfig(const std::uint8_t* data, std::size_t size, AvcConfig& out);
// Writes one that declares the highest profile and level of its sequence sets and only the
// constraints all of them meet, with 4-byte lengths.
Bytes writeAvcConfig(const AvcConfig& config);

}  // namespace media::smart
