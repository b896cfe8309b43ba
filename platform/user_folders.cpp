// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/user_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString userVideoFolder() {
    // Qt reads the desktop's user-dirs configuration and falls back to ~/Videos; that
    // fallback may not exist, and a default output path in a missing folder would only
    // fail later at Join.
    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (!videos.isEmpty() && QFileInfo(videos).isDir()) return QDir::cleanPath(videos);
    const QString home = QDir::homePath();
    return home.isEmpty() ? QString() : QDir::cleanPath(home);
}

QString programFolder() {
    // The real path of the running executable: started through a link such as
    // /usr/bin/clipfuse, the program's own files are still beside the executable itself.
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!executable.isEmpty()) return QFileInfo(executable).absolutePath();
    return QDir::cleanPath(QCoreApplication::applicationDirPath());
}

}  // namespace platform
