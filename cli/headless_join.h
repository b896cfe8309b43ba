// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A join without a window: the clips of the command line go into a clip list as Add Video
// puts them there, the Join checks run with the command line's answers, and the same
// timeline builder, output renderer and writers as the window's Join make the file. The
// terminal shows the progress and every message the window would show.
#include <atomic>
#include <cstdio>

#include "cli/join_arguments.h"

class SettingsStore;

namespace cli {

// What the program returns.
enum ExitCode : int {
    kJoined = 0,
    kFailed = 1,    // nothing joined, or the file could not be finished
    kUsage = 2,     // the command line cannot be used
    kStopped = 130  // interrupted: the file holds what was written up to then; before the first
                    // picture, no file is made and an older one of that name is left as it was
};

struct Terminal {
    std::FILE* progress = stderr;  // the progress line
    std::FILE* result = stdout;    // the closing "Done" line
    bool rewriteLine = false;      // a terminal: the progress line is redrawn in place
};

// Runs the whole join of `request` with the settings in `store`. `stopRequested` ends the
// render early, as pressing Stop does. Messages go through the installed message presenter.
int runHeadlessJoin(const JoinRequest& request, const SettingsStore& store, const std::atomic<bool>& stopRequested,
                    const Terminal& terminal);

}  // namespace cli
