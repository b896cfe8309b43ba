// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's trial mode: the Options dialog starts the program's own executable with
// `--compressor-trial` and a request, so that an encoder that never returns stalls only a
// process the dialog can kill. It tries the one compressor and prints the answer.

// True when the command line asks for the trial mode.
bool isCompressorTrialMode(int argc, char** argv);

// Runs the trial the arguments describe and prints its answer on standard output. Exits 0
// with an answer, 2 for a request that is not one; it opens no window.
int runCompressorTrialMode(int argc, char** argv);
