// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a command-line join works with: the user's stored settings, as the main window reads
// them at start, with the command line's overrides laid over them for this join alone.
#include <QString>

#include "app/transition_defaults.h"
#include "cli/join_arguments.h"
#include "output/bound_compressors.h"
#include "output/output_options.h"

class SettingsStore;

namespace cli {

struct JoinSetup {
    OutputOptions options;
    TransitionDefaults transitions;
    BoundCompressors compressors;
};

// Reads the stored settings into `setup` and applies `request`. Messages of the stored
// choices (a compressor that is gone) are shown as the window shows them. Returns what is
// wrong with an override (an unknown codec), or an empty text.
QString setUpJoin(const JoinRequest& request, const SettingsStore& store, JoinSetup& setup);

}  // namespace cli
