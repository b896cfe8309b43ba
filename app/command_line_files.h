// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files handed to Clipfuse on its command line, as a file manager's "Open with" passes them
// (the menu entry runs "clipfuse %F"). Every argument after the program's name is a file,
// but for --help and --version, which main() answers before anything else.
#include <QStringList>

class CSlidemintDlg;

// The files named by `arguments` (the program's name first), as absolute paths: a relative
// name is taken from the current folder, a file: URL gives its local path.
QStringList filesFromCommandLine(const QStringList& arguments);

// Adds `files` to the end of the window's clip list as a drop of them would. A file that
// does not exist is named in a message, as the window names a missing clip. Whether a file
// exists is asked off the window's thread, with the measuring.
void openCommandLineFiles(CSlidemintDlg& window, const QStringList& files);
