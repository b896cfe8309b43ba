// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the event loop until `done` holds, as the program's own loop would, so that the
// window's media worker can deliver its answers. False when `timeoutMs` passed first.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace testqt {

template <typename Done>
bool runUntil(Done done, int timeoutMs = 30000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

}  // namespace testqt
