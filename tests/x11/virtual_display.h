// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An X display of the test program's own: Xvfb on a free display number, with a window
// manager on it unless asked for none, so that windows get frames, a stacking order and
// close requests as on a desktop.
#include <sys/types.h>

#include <string>

namespace testx11 {

class VirtualDisplay {
public:
    // `windowManager`: a window manager's command, or empty for none.
    VirtualDisplay(int width, int height, const std::string& windowManager);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool running() const { return !name_.empty(); }
    const std::string& name() const { return name_; }  // ":N"
    const std::string& why() const { return why_; }
    bool hasWindowManager() const { return windowManager_ > 0; }

private:
    pid_t server_ = -1, windowManager_ = -1;
    std::string name_, why_;
};

// Runs an X client command (xdotool, wmctrl, xprop) on the display; its output, trimmed.
std::string runOnDisplay(const std::string& command, int* exitCode = nullptr);

}  // namespace testx11
