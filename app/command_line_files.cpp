// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line_files.h"

#include <QDir>
#include <QUrl>

#include "app/main_window.h"

QStringList filesFromCommandLine(const QStringList& arguments) {
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString path = arguments[i];
        if (path.isEmpty()) continue;
        if (path.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive))
            path = QUrl(path).toLocalFile();
        files.append(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    }
    return files;
}

void openCommandLineFiles(CSlidemintDlg& window, const QStringList& files) {
    if (!files.isEmpty()) window.addCommandLineFiles(files);
}
