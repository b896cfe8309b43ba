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
    return QDir::cleanPath(QCoreApplication::applicationDirPath());
}

}  // namespace platform
