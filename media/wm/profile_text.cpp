// SPDX-License-Identifier: GPL-3.0-or-later
// The text form of a profile: what saveProfile writes and loadProfileByData reads. One
// "key=value" per line; "stream" and "exclusion" open a block, "end" closes it. Loading is
// strict: any line it does not understand refuses the whole text, so a damaged profile is
// never half taken.
#include <charconv>
#include <cstdio>
#include <sstream>

#include "media/wm/profile.h"

namespace media::wm {
namespace {

constexpr const char* kMagic = "CLIPFUSE-WM-PROFILE 1";
constexpr std::size_t kMaxTextBytes = 1 << 20;

std::string hex(const std::vector<std::uint8_t>& b) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (std::uint8_t v : b) {
        s += digits[v >> 4];
        s += digits[v & 15];
    }
    return s;
}

bool unhex(const std::string& s, std::vector<std::uint8_t>& out) {
    if (s.size() % 2) return false;
    out.clear();
    for (std::size_t i = 0; i < s.size(); i += 2) {
        unsigned v = 0;
        auto r = std::from_chars(s.data() + i, s.data() + i + 2, v, 16);
        if (r.ec != std::errc() || r.ptr != s.data() + i + 2) return false;
        out.push_back(static_cast<std::uint8_t>(v));
    }
    return true;
}

bool parseNumber(const std::string& s, std::uint64_t& v) {
    int base = 10;
    const char* b = s.data();
    const char* e = s.data() + s.size();
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) base = 16, b += 2;
    auto r = std::from_chars(b, e, v, base);
    return r.ec == std::errc() && r.ptr == e && b != e;
}

bool parseGuid(const std::string& s, Guid& g) {
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    if (s.size() != 38 || s.front() != '{' || s.back() != '}') return false;
    std::string digits;
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (s[i] != '-') return false;
        } else {
            digits += s[i];
        }
    }
    std::vector<std::uint8_t> b;
    if (!unhex(digits, b) || b.size() != 16) return false;
    g.data1 = static_cast<std::uint32_t>(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
    g.data2 = static_cast<std::uint16_t>(b[4] << 8 | b[5]);
    g.data3 = static_cast<std::uint16_t>(b[6] << 8 | b[7]);
    for (int i = 0; i < 8; ++i) g.data4[i] = b[8 + i];
    return true;
}

Status bad(int line, const std::string& why) {
    return {kInvalidProfileData,
            "The profile data is not valid (line " + std::to_string(line) + ": " + why + ")."};
}

struct StreamDraft {
    Guid streamType;
    std::uint64_t number = 0, bitrate = 0, quality = 0, keySpacing = 0, sampleSize = 0;
    std::uint64_t fixedSize = 0, temporal = 0;
    std::string name, connection;
    MediaType type;
    bool haveType = false;
};

Status commitStream(const StreamDraft& d, Profile& p, int line) {
    if (d.number > kMaxStreamNumber) return bad(line, "stream number out of range");
    StreamConfig s = p.createNewStream(d.streamType);
    MediaType t = d.type;
    t.fixedSizeSamples = d.fixedSize != 0;
    t.temporalCompression = d.temporal != 0;
    t.sampleSize = static_cast<std::uint32_t>(d.sampleSize);
    Status st = s.setStreamNumber(static_cast<std::uint16_t>(d.number));
    if (st) st = s.setStreamName(d.name);
    if (st) st = s.setConnectionName(d.connection);
    if (st) st = s.setBitrate(static_cast<std::uint32_t>(d.bitrate));
    if (st) st = s.setMediaType(&t);
    if (st && d.streamType == guids::kMediaTypeVideo) {
        st = s.setQuality(static_cast<std::uint32_t>(d.quality));
        if (st) st = s.setMaxKeyFrameSpacing(static_cast<std::int64_t>(d.keySpacing));
    }
    if (st) st = p.addStream(s);
    return st ? st : bad(line, st.text());
}

}  // namespace

Status ProfileManager::saveProfile(const Profile& p, std::string& text) const {
    std::ostringstream o;
    char v[16];
    std::snprintf(v, sizeof v, "0x%X", p.version());
    o << kMagic << "\nversion=" << v << "\nname=" << p.name() << "\n";
    for (const StreamConfig& s : p.streams()) {
        const MediaType& t = s.mediaType();
        o << "stream\ntype=" << s.streamType().toString() << "\nnumber=" << s.streamNumber()
          << "\nname=" << s.streamName() << "\nconnection=" << s.connectionName()
          << "\nbitrate=" << s.bitrate() << "\nquality=" << s.quality()
          << "\nkeyframespacing=" << s.maxKeyFrameSpacing()
          << "\nmajortype=" << t.majorType.toString() << "\nsubtype=" << t.subtype.toString()
          << "\nfixedsizesamples=" << t.fixedSizeSamples
          << "\ntemporalcompression=" << t.temporalCompression << "\nsamplesize=" << t.sampleSize
          << "\nformattype=" << t.formatType.toString() << "\nformat=" << hex(t.format)
          << "\nend\n";
    }
    for (const MutualExclusion& m : p.mutualExclusions()) {
        o << "exclusion\ntype=" << m.type.toString() << "\nstreams=";
        for (std::size_t i = 0; i < m.streams.size(); ++i) o << (i ? "," : "") << m.streams[i];
        o << "\nend\n";
    }
    text = o.str();
    return Status::ok();
}

Status ProfileManager::loadProfileByData(const std::string& text,
                                         std::unique_ptr<Profile>& out) const {
    if (text.size() > kMaxTextBytes) return bad(0, "too long");
    std::istringstream in(text);
    std::string line;
    int n = 1;
    if (!std::getline(in, line) || (line != kMagic && line != std::string(kMagic) + "\r"))
        return bad(1, "not profile data");

    std::unique_ptr<Profile> profile;
    std::string name;
    enum class Block { Top, Stream, Exclusion } block = Block::Top;
    StreamDraft draft;
    MutualExclusion exclusion;
    std::vector<std::pair<std::string, std::string>> top;

    while (std::getline(in, line)) {
        ++n;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line == "stream" || line == "exclusion") {
            if (block != Block::Top) return bad(n, "block inside a block");
            if (!profile) return bad(n, "version missing before the streams");
            block = line == "stream" ? Block::Stream : Block::Exclusion;
            draft = {};
            exclusion = {};
            continue;
        }
        if (line == "end") {
            if (block == Block::Stream) {
                if (!draft.haveType) return bad(n, "stream without a media type");
                if (Status st = commitStream(draft, *profile, n); !st) return st;
            } else if (block == Block::Exclusion) {
                if (Status st = profile->addMutualExclusion(exclusion); !st)
                    return bad(n, st.text());
            } else {
                return bad(n, "end without a block");
            }
            block = Block::Top;
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string::npos) return bad(n, "expected key=value");
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        std::uint64_t num = 0;
        Guid g;
        if (block == Block::Top) {
            if (key == "version") {
                if (profile || !parseNumber(value, num) || num > 0xFFFFFFFFu)
                    return bad(n, "bad version");
                if (Status st = createEmptyProfile(static_cast<std::uint32_t>(num), profile); !st)
                    return bad(n, st.text());
                if (!name.empty()) profile->setName(name);
            } else if (key == "name") {
                name = value;
                if (profile) profile->setName(name);
            } else {
                return bad(n, "unknown key " + key);
            }
        } else if (block == Block::Stream) {
            const bool guidKey =
                key == "type" || key == "majortype" || key == "subtype" || key == "formattype";
            if (guidKey && !parseGuid(value, g)) return bad(n, "bad GUID");
            std::uint64_t* field = key == "number"                ? &draft.number
                                   : key == "bitrate"             ? &draft.bitrate
                                   : key == "quality"             ? &draft.quality
                                   : key == "keyframespacing"     ? &draft.keySpacing
                                   : key == "samplesize"          ? &draft.sampleSize
                                   : key == "fixedsizesamples"    ? &draft.fixedSize
                                   : key == "temporalcompression" ? &draft.temporal
                                                                  : nullptr;
            if (field) {
                if (!parseNumber(value, num) || num > 0xFFFFFFFFFFFFull)
                    return bad(n, "bad number for " + key);
                if (key != "keyframespacing" && num > 0xFFFFFFFFu)
                    return bad(n, "number too large for " + key);
                *field = num;
            } else if (key == "type") {
                draft.streamType = g;
            } else if (key == "majortype") {
                draft.type.majorType = g;
                draft.haveType = true;
            } else if (key == "subtype") {
                draft.type.subtype = g;
            } else if (key == "formattype") {
                draft.type.formatType = g;
            } else if (key == "format") {
                if (!unhex(value, draft.type.format)) return bad(n, "bad format bytes");
            } else if (key == "name") {
                draft.name = value;
            } else if (key == "connection") {
                draft.connection = value;
            } else {
                return bad(n, "unknown key " + key);
            }
        } else {
            if (key == "type") {
                if (!parseGuid(value, g)) return bad(n, "bad GUID");
                exclusion.setType(g);
            } else if (key == "streams") {
                std::istringstream list(value);
                std::string item;
                while (std::getline(list, item, ',')) {
                    if (!parseNumber(item, num) || num > kMaxStreamNumber)
                        return bad(n, "bad stream number");
                    if (Status st = exclusion.addStream(static_cast<std::uint16_t>(num)); !st)
                        return bad(n, st.text());
                }
            } else {
                return bad(n, "unknown key " + key);
            }
        }
    }
    if (block != Block::Top) return bad(n, "unfinished block");
    if (!profile) return bad(n, "no version");
    out = std::move(profile);
    return Status::ok();
}

}  // namespace media::wm
