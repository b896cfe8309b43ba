// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/html_handler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace platform {

namespace {

constexpr int kQueryTimeoutMs = 5000;

QString defaultHtmlHandler() {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (!query.waitForFinished(kQueryTimeoutMs) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    // The answer may list several handlers; the first is the default.
    return QString::fromLocal8Bit(query.readAllStandardOutput())
        .section(QLatin1Char(';'), 0, 0)
        .trimmed();
}

// The Exec value of the [Desktop Entry] group of `path`, or empty.
QString execLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream in(&file);
    bool inEntry = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
        } else if (inEntry && line.startsWith(QLatin1String("Exec"))) {
            const QString key = line.section(QLatin1Char('='), 0, 0).trimmed();
            if (key == QLatin1String("Exec")) return line.section(QLatin1Char('='), 1).trimmed();
        }
    }
    return {};
}

// Why `program` cannot be started, or kOpened when it can be tried.
int checkProgram(const QString& program, QString& path) {
    if (program.isEmpty()) return open_result::kFileNotFound;
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo info(program);
        if (!info.dir().exists()) return open_result::kPathNotFound;
        if (!info.exists()) return open_result::kFileNotFound;
        path = info.absoluteFilePath();
    } else {
        path = QStandardPaths::findExecutable(program);
        if (path.isEmpty()) return open_result::kFileNotFound;
    }
    const QFileInfo info(path);
    if (info.isDir() || !info.isExecutable()) return open_result::kAccessDenied;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return open_result::kAccessDenied;
    // Something the system can run: a binary or a script that names its interpreter.
    const QByteArray head = file.read(4);
    if (!head.startsWith("\x7f"
                         "ELF") &&
        !head.startsWith("#!"))
        return open_result::kBadProgram;
    return open_result::kOpened;
}

}  // namespace

QString defaultHtmlHandlerCommand() {
    const QString handler = defaultHtmlHandler();
    if (handler.isEmpty()) return {};
    const QString entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, handler);
    return entry.isEmpty() ? QString() : execLine(entry);
}

QString commandBeforePlaceholder(const QString& commandLine) {
    static const QString kPlaceholders[] = {QStringLiteral("%u"), QStringLiteral("%U"),
                                            QStringLiteral("%f"), QStringLiteral("%F")};
    const auto firstOf = [&](const QString& before, const QString& after) {
        qsizetype cut = -1;
        for (const QString& p : kPlaceholders) {
            const qsizetype at = commandLine.indexOf(before + p + after);
            if (at >= 0 && (cut < 0 || at < cut)) cut = at;
        }
        return cut;
    };
    qsizetype cut = firstOf(QStringLiteral("\""), QStringLiteral("\""));
    if (cut < 0) cut = firstOf(QString(), QString());
    return cut < 0 ? commandLine : commandLine.left(cut);
}

int launchWithAddress(const QString& commandLine, const QString& address) {
    QStringList arguments = QProcess::splitCommand(commandLine);
    const QString program = arguments.isEmpty() ? QString() : arguments.takeFirst();
    QString path;
    if (const int why = checkProgram(program, path); why != open_result::kOpened) return why;
    // The address is one argument of its own: nothing in it is read as a command.
    arguments << address;
    return QProcess::startDetached(path, arguments) ? open_result::kOpened
                                                    : open_result::kOutOfResources;
}

}  // namespace platform
