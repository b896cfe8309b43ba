// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media/test_media.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace testmedia {

std::string scratchDir(const std::string& name) {
    const char* root = std::getenv("CLIPFUSE_TEST_TMP");
    std::filesystem::path dir = root && *root ? std::filesystem::path(root)
                                              : std::filesystem::temp_directory_path() / "clipfuse-tests";
    dir /= name;
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    std::filesystem::create_directories(dir);
    return dir.string();
}

int run(const std::string& command, std::string* output) {
    std::string full = command + " 2>&1";
    FILE* pipe = popen(full.c_str(), "r");
    if (!pipe) return -1;
    std::string text;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) text.append(buf, n);
    int rc = pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

bool makeClip(const std::string& path, const ClipSpec& s) {
    std::ostringstream cmd;
    cmd << CLIPFUSE_FFMPEG_CLI << " -nostdin -hide_banner -loglevel error -y";
    if (!s.videoCodec.empty())
        cmd << " -f lavfi -i color=c=" << s.colour << ":s=" << s.width << "x" << s.height
            << ":r=" << s.frameRate << ":d=" << s.seconds;
    if (!s.audioCodec.empty())
        cmd << " -f lavfi -i sine=frequency=" << s.toneHz << ":sample_rate=" << s.sampleRate
            << ":duration=" << s.seconds;
    if (s.syncMarkAt >= 0) {
        std::ostringstream during;
        during << "between(t," << s.syncMarkAt << "," << s.syncMarkAt + 0.2 << ")";
        if (!s.videoCodec.empty())
            cmd << " -vf \"drawbox=c=white:t=fill:enable='" << during.str() << "'\"";
        if (!s.audioCodec.empty()) cmd << " -af \"volume=0:enable='not(" << during.str() << ")'\"";
    }
    if (!s.videoCodec.empty()) cmd << " -c:v " << s.videoCodec << " -pix_fmt yuv420p";
    if (!s.audioCodec.empty()) cmd << " -c:a " << s.audioCodec << " -ac " << s.channels;
    if (s.videoCodec == "libx264") cmd << " -preset ultrafast";
    cmd << " " << s.extraOutputArgs << " '" << path << "'";
    std::string out;
    if (run(cmd.str(), &out) != 0) {
        std::fprintf(stderr, "makeClip failed: %s\n%s\n", cmd.str().c_str(), out.c_str());
        return false;
    }
    return true;
}

bool makeHeaderOnlyClip(const std::string& path) {
    ClipSpec recipe;
    recipe.container = "mkv";
    recipe.seconds = 4.0;
    recipe.width = 160;
    recipe.height = 120;
    const std::string whole = path + ".whole.mkv";
    if (!makeClip(whole, recipe)) return false;
    std::ifstream in(whole, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(whole);
    // Cut 40 bytes into the first Cluster: past its timestamp, short of its first frame.
    // (Cut before it, the demuxer would not open the file at all.)
    const std::size_t cluster = bytes.find("\x1F\x43\xB6\x75");
    if (cluster == std::string::npos || cluster + 40 > bytes.size()) return false;
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(cluster + 40));
    return true;
}

}  // namespace testmedia
