// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/default_output_name.h"

#include "platform/user_folders.h"
#include "ui/message_box.h"

#include <QDir>

QString defaultOutputName(QWidget* owner) {
    static const QString kFileName = QStringLiteral("video_join.avi");
    const QString folder = platform::userVideoFolder();
    if (folder.isEmpty()) {
        ui::showMessage(owner, QStringLiteral("Can not get My Video directory!"), QStringLiteral("Error"));
        return QDir::current().absoluteFilePath(kFileName);
    }
    return QDir(folder).absoluteFilePath(kFileName);
}
