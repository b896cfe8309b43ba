// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_options.h"

#include <cstring>

#ifndef CLIPFUSE_VERSION
#error "CLIPFUSE_VERSION comes from the project's version in CMakeLists.txt"
#endif

const char* programVersion() {
    return CLIPFUSE_VERSION;
}

const char* programVersionText() {
    return "clipfuse " CLIPFUSE_VERSION;
}

bool answerProgramOptions(int argc, const char* const* argv, std::FILE* out) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fprintf(out, "%s\n", programVersionText());
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(
                "Usage: clipfuse [FILE...]\n"
                "Joins video clips into one video file.\n"
                "\n"
                "Files named here join the end of the clip list, as dropped files do. When\n"
                "Clipfuse is already open with the same settings, its window takes them (or,\n"
                "with no files, comes forward) and this start ends.\n"
                "\n"
                "  --help     show this text and end\n"
                "  --version  show the version and end\n"
                "\n"
                "The command-line join is clipfuse-join; see clipfuse-join --help.\n",
                out);
            return true;
        }
    }
    return false;
}
