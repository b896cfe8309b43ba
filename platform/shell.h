// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop shell: opening web addresses and files with the program the user chose for
// them. Commands reach it through this interface so that tests can record what would be
// opened instead of launching anything.
#include <QUrl>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // True when the desktop accepted the address.
    virtual bool open(const QUrl& url) = 0;
};

// The shell in use; the desktop's own unless a test installed another.
Shell& shell();

// Installs `replacement` (not owned) and returns the previous one; nullptr restores the
// desktop's own shell.
Shell* setShell(Shell* replacement);

}  // namespace platform
