// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options the program answers on its own, before it opens anything: --help and
// --version print to the standard output and end the start, without a display and without
// reaching a window already open. Every other argument is a file (command_line_files.h).
#include <cstdio>

// True when `argv` asks for --help or --version; the answer has then been printed to `out`.
bool answerProgramOptions(int argc, const char* const* argv, std::FILE* out);

// The project's version, "1.1": the one place it comes from is CMakeLists.txt.
const char* programVersion();

// "clipfuse 1.1": the program's name and the project's version.
const char* programVersionText();
