// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/shell.h"

#include <QDesktopServices>

namespace platform {

namespace {

class DesktopShell final : public Shell {
public:
    bool open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

DesktopShell desktopShell;
Shell* current = nullptr;

}  // namespace

Shell& shell() {
    return current ? *current : desktopShell;
}

Shell* setShell(Shell* replacement) {
    Shell* previous = current ? current : &desktopShell;
    current = replacement == &desktopShell ? nullptr : replacement;
    return previous;
}

}  // namespace platform
