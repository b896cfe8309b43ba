// SPDX-License-Identifier: GPL-3.0-or-later
#include "dsm_reader.h"

#include <fstream>
#include <iterator>

namespace dsmtest {
namespace {

std::uint64_t big(const std::uint8_t* p, int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | p[i];
    return v;
}

}  // namespace

bool readDsm(const std::string& path, File& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> b((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
    std::size_t pos = 0;
    while (pos < b.size()) {
        const std::size_t start = pos;
        if (b.size() - pos < 6 || b[pos] != 'D' || b[pos + 1] != 'S' || b[pos + 2] != 'M' ||
            b[pos + 3] != 'S') {
            error = "no sync word at " + std::to_string(pos);
            return false;
        }
        const int type = b[pos + 4] >> 3;
        const int sizeBytes = (b[pos + 4] & 7) + 1;
        pos += 5;
        if (b.size() - pos < static_cast<std::size_t>(sizeBytes)) return error = "cut size", false;
        const std::uint64_t size = big(&b[pos], sizeBytes);
        if (sizeBytes > 1 && size >> (8 * (sizeBytes - 1)) == 0)
            return error = "size not in fewest bytes", false;
        pos += static_cast<std::size_t>(sizeBytes);
        if (b.size() - pos < size)
            return error = "packet runs past the end at " + std::to_string(start), false;
        const std::uint8_t* d = &b[pos];
        const std::size_t n = static_cast<std::size_t>(size);
        out.packetOrder.push_back(type);
        switch (type) {
            case 0: {
                if (n < 1) return error = "empty file info", false;
                out.version = d[0];
                std::size_t i = 1;
                while (i + 4 < n) {
                    std::string id(reinterpret_cast<const char*>(d + i), 4);
                    i += 4;
                    std::string value;
                    while (i < n && d[i]) value += static_cast<char>(d[i++]);
                    if (i >= n) return error = "unterminated file info string", false;
                    ++i;
                    out.info[id] = value;
                }
                break;
            }
            case 2: {
                if (n < 1 + 16 + 16 + 4 + 16) return error = "short media type", false;
                media::wm::MediaType t;
                t.majorType = media::wm::Guid::fromBytes(d + 1);
                t.subtype = media::wm::Guid::fromBytes(d + 17);
                const std::uint32_t bits = static_cast<std::uint32_t>(big(d + 33, 4));
                t.fixedSizeSamples = bits >> 31;
                t.temporalCompression = (bits >> 30) & 1;
                t.sampleSize = bits & 0x3FFFFFFF;
                t.formatType = media::wm::Guid::fromBytes(d + 37);
                t.format.assign(d + 53, d + n);
                if (out.types.count(d[0])) return error = "two media types for one stream", false;
                out.types[d[0]] = t;
                break;
            }
            case 4: {
                if (n < 2) return error = "short sample", false;
                Sample s;
                s.stream = d[0];
                s.sync = d[1] >> 7;
                const bool negative = (d[1] >> 6) & 1;
                const int tl = (d[1] >> 3) & 7, dl = d[1] & 7;
                if (n < 2u + tl + dl) return error = "short sample header", false;
                s.timeUnknown = negative && tl == 0;
                s.time = static_cast<std::int64_t>(big(d + 2, tl)) * (negative ? -1 : 1);
                s.duration = static_cast<std::int64_t>(big(d + 2 + tl, dl));
                s.position = static_cast<std::int64_t>(start);
                s.data.assign(d + 2 + tl + dl, d + n);
                out.samples.push_back(std::move(s));
                break;
            }
            case 5: {
                std::size_t i = 0;
                std::int64_t t = 0, p = 0;
                while (i < n) {
                    const bool neg = d[i] >> 7;
                    const int tl = (d[i] >> 4) & 7, pl = (d[i] >> 1) & 7;
                    if (n - i < 1u + tl + pl) return error = "short sync point", false;
                    t += static_cast<std::int64_t>(big(d + i + 1, tl)) * (neg ? -1 : 1);
                    p += static_cast<std::int64_t>(big(d + i + 1 + tl, pl));
                    out.syncPoints.push_back({t, p});
                    i += 1u + tl + pl;
                }
                break;
            }
            default:
                break;
        }
        pos += n;
    }
    return true;
}

}  // namespace dsmtest
