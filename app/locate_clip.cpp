// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/locate_clip.h"

#include <QDir>
#include <QFileInfo>

#include "platform/file_dialogs.h"

media::LocateFile locateMissingClip(QWidget* owner) {
    return [owner](const std::string& missingPath) -> std::optional<std::string> {
        const QFileInfo missing(QString::fromStdString(missingPath));
        platform::FileDialogRequest request;
        request.owner = owner;
        request.title = QStringLiteral("Where is %1?").arg(missing.fileName());
        if (missing.dir().exists()) request.folder = missing.absolutePath();
        request.filters = {QStringLiteral("%1 (%2)").arg(missing.fileName(), missing.fileName()),
                           QStringLiteral("All Files (*)")};
        const QString found = platform::fileDialogs().getOpenFileName(request);
        if (found.isEmpty()) return std::nullopt;
        return found.toStdString();
    };
}
