#include "support/media/test_media.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

}  // namespace testmedia
