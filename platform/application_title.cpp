// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/application_title.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {

QString applicationTitle() {
    const QString title = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return title.isEmpty() ? QStringLiteral("clipfuse") : title;
}

}  // namespace platform
