// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A command posted to a window, as a click on a button or a menu choice posts it: the
// window runs the command with that id when its event queue reaches it.
#include <QCoreApplication>
#include <QEvent>

namespace ui {

class CommandEvent : public QEvent {
public:
    static constexpr QEvent::Type kType =
        static_cast<QEvent::Type>(QEvent::User + 273);  // WM_COMMAND
    explicit CommandEvent(int id) : QEvent(kType), id_(id) {}
    int id() const { return id_; }

private:
    int id_;
};

inline void postCommand(QObject* window, int id) {
    QCoreApplication::postEvent(window, new CommandEvent(id));
}

}  // namespace ui
