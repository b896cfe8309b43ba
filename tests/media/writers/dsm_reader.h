// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small reader of DSM files for the tests: it walks every packet and checks the framing.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "media/wm/media_type.h"

namespace dsmtest {

struct Sample {
    int stream = 0;
    bool sync = false;
    bool timeUnknown = false;
    std::int64_t time = 0;
    std::int64_t duration = 0;
    std::int64_t position = 0;  // of the packet's sync word
    std::vector<std::uint8_t> data;
};

struct SyncPoint {
    std::int64_t time = 0;
    std::int64_t position = 0;
};

struct File {
    int version = -1;
    std::map<std::string, std::string> info;  // MUXR, DATE, ...
    std::map<int, media::wm::MediaType> types;
    std::vector<Sample> samples;
    std::vector<SyncPoint> syncPoints;
    std::vector<int> packetOrder;  // the type of every packet, in file order
};

// Reads the whole file; false with the reason in `error` at the first fault in the framing.
bool readDsm(const std::string& path, File& out, std::string& error);

}  // namespace dsmtest
