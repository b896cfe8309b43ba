// SPDX-License-Identifier: GPL-3.0-or-later
#include "clips.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "render_harness.h"

namespace rendertest {

std::string clip(const std::string& name, const testmedia::ClipSpec& recipe) {
    std::string path = clipPath(name);
    if (!std::filesystem::exists(path)) {
        EXPECT_TRUE(testmedia::makeClip(path, recipe)) << name;
    }
    return path;
}

std::string solidClip(const std::string& name, const std::string& colour, int toneHz,
                      double seconds) {
    testmedia::ClipSpec s;
    s.width = 160;
    s.height = 120;
    s.frameRate = "10";
    s.seconds = seconds;
    s.colour = colour;
    s.toneHz = toneHz;
    return clip(name, s);
}

}  // namespace rendertest
