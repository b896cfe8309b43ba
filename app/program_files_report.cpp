// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_files_report.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

#include "platform/user_folders.h"

namespace {
Q_LOGGING_CATEGORY(programFiles, "clipfuse.files", QtWarningMsg)
}

void reportProgramFiles() {
    if (!programFiles().isInfoEnabled()) return;
    const QDir folder(platform::programFolder());
    const QString help = folder.filePath(QStringLiteral("help/index.html"));
    const QStringList languages =
        QDir(folder.filePath(QStringLiteral("language")))
            .entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
    qCInfo(programFiles).noquote() << "program folder: " + folder.path();
    qCInfo(programFiles).noquote()
        << "help page: " + help + (QFileInfo::exists(help) ? " found" : " missing");
    qCInfo(programFiles).noquote()
        << (QStringList{QStringLiteral("language files:")} + languages).join(QLatin1Char(' '));
}
