// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reference project of the benchmarks: five 10 s 1280x720 30 fps H.264 + AAC clips, a
// one-second Fade into clips 2 to 5. The clips are made once and kept between runs: each a
// moving test pattern of its own hue with a tone of its own, so that no decoder or encoder
// gets an easy, repeating picture.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/media/test_media.h"

namespace bench {

inline constexpr int kClipCount = 5;
inline constexpr int kClipSeconds = 10;
inline constexpr int kFadeIndex = 3;  // "Fade" in the transition list

// The clips' paths; empty when one could not be made.
inline std::vector<std::string> referenceClips() {
    const char* root = std::getenv("CLIPFUSE_TEST_TMP");
    const std::filesystem::path dir =
        (root && *root ? std::filesystem::path(root) : std::filesystem::temp_directory_path() / "clipfuse-tests") /
        "bench_join_clips";
    std::filesystem::create_directories(dir);
    std::vector<std::string> clips;
    for (int i = 0; i < kClipCount; ++i) {
        const std::string path = (dir / ("clip" + std::to_string(i + 1) + ".mp4")).string();
        clips.push_back(path);
        if (std::filesystem::exists(path) && std::filesystem::file_size(path) > 0) continue;
        std::ostringstream cmd;
        cmd << CLIPFUSE_FFMPEG_CLI << " -nostdin -hide_banner -loglevel error -y"
            << " -f lavfi -i testsrc2=s=1280x720:r=30:d=" << kClipSeconds
            << " -f lavfi -i sine=frequency=" << 300 + 250 * i << ":sample_rate=44100:duration=" << kClipSeconds
            << " -vf hue=h=" << 72 * i << " -c:v libx264 -preset fast -pix_fmt yuv420p"
            << " -c:a aac -b:a 128k -ac 2 -shortest '" << path << ".part.mp4'";
        std::string out;
        if (testmedia::run(cmd.str(), &out) != 0) {
            std::fprintf(stderr, "could not make %s:\n%s\n", path.c_str(), out.c_str());
            return {};
        }
        std::filesystem::rename(path + ".part.mp4", path);
    }
    return clips;
}

}  // namespace bench
