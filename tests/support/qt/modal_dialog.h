// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Works a dialog that the program runs modally, as a person would while it is up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace testqt {

// Calls `open`, which runs a dialog of type Dialog modally; `act` works that dialog once it is
// up. A dialog that `act` leaves open is cancelled, so `open` always returns.
template <typename Dialog>
void workModalDialog(const std::function<void()>& open, const std::function<void(Dialog&)>& act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    open();
}

}  // namespace testqt
