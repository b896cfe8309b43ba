// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell_commands.h"

#include "app/clip_list.h"
#include "app/vendor_links.h"
#include "platform/file_exists.h"
#include "platform/shell.h"
#include "platform/user_folders.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

#include <QDir>
#include <QFile>
#include <QUrl>

void openHelp(QWidget* owner) {
    const QString page = QDir(platform::programFolder()).filePath(QStringLiteral("help/index.html"));
    if (!platform::fileExists(QFile::encodeName(page).toStdString())) {
        ui::showMessage(owner, QStringLiteral("The help file %1 is missing. Please install the program again.").arg(page),
                        StringText(105));
        return;
    }
    if (!platform::shell().open(QUrl::fromLocalFile(page)))
        ui::showMessage(owner, QStringLiteral("There is no program to show the help file %1.").arg(page),
                        StringText(105));
}

void openHomePage(QWidget* owner) {
    if (!platform::shell().open(vendorHomePage()))
        ui::showMessage(owner, QStringLiteral("There is no web browser to open %1.").arg(vendorHomePage().toString()),
                        StringText(105));
}

void openClipsInPlayer(QWidget* owner, const ClipList& clips, const std::vector<int>& selectedRows) {
    if (clips.empty()) return;
    if (selectedRows.empty()) {
        ui::showMessage(owner, StringText(144), QString());
        return;
    }
    for (int row : selectedRows) {
        if (row < 0 || row >= clips.count()) continue;
        const std::string path = clips.at(row).fileName.str();
        const QString shown = QString::fromStdString(path);
        if (!platform::fileExists(path)) {
            ui::showMessage(owner, shown + QStringLiteral(" does not exist!"), QStringLiteral("Error"));
            return;
        }
        if (!platform::shell().open(QUrl::fromLocalFile(shown))) {
            ui::showMessage(owner, QStringLiteral("There is no player for %1.").arg(shown), QStringLiteral("Error"));
            return;
        }
    }
}
