// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"
#include "app/command_line_files.h"
#include "app/compressor_trial_mode.h"
#include "app/program_options.h"

#include <QApplication>

int main(int argc, char** argv) {
    // A helper process of the Options dialog: no window, one answer.
    if (isCompressorTrialMode(argc, argv)) return runCompressorTrialMode(argc, argv);
    if (answerProgramOptions(argc, argv, stdout)) return 0;  // before any display is needed
    QApplication qt(argc, argv);
    // The X11 class of every window is the application name; the menu entry's StartupWMClass
    // names it, and the desktop file name (Wayland's application id) names the entry, so that
    // a desktop shows the running window with the entry's name and icon.
    QApplication::setApplicationName(QStringLiteral("Clipfuse"));
    QApplication::setApplicationVersion(QString::fromLatin1(programVersion()));
    QGuiApplication::setDesktopFileName(QStringLiteral(CLIPFUSE_APP_ID));
    CSlidemintApp app;
    app.setFilesToOpen(filesFromCommandLine(QApplication::arguments()));
    return app.run();
}
