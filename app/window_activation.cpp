#include "app/window_activation.h"

#include <QGuiApplication>
#include <QWidget>

void bringForward(QWidget* window, const QByteArray& activationToken) {
    if (!activationToken.isEmpty()) {
        // Qt's Wayland and X11 plugins take the token from the environment when the window
        // asks to be activated (Wayland) or shown (X11).
        if (QGuiApplication::platformName() == QLatin1String("wayland"))
            qputenv("XDG_ACTIVATION_TOKEN", activationToken);
        else
            qputenv("DESKTOP_STARTUP_ID", activationToken);
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
