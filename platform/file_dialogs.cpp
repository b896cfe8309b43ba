// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_dialogs.h"

#include <QFileDialog>

namespace platform {
namespace {

QString joinedFilters(const FileDialogRequest& request) { return request.filters.join(QStringLiteral(";;")); }

QString selectedFilterText(const FileDialogRequest& request) {
    if (request.selectedFilter < 0 || request.selectedFilter >= request.filters.size()) return {};
    return request.filters.at(request.selectedFilter);
}

QString startPath(const FileDialogRequest& request) {
    if (request.fileName.isEmpty()) return request.folder;
    if (request.folder.isEmpty()) return request.fileName;
    return joinPath(request.folder, request.fileName);
}

class QtFileDialogs final : public FileDialogs {
public:
    QStringList getOpenFileNames(const FileDialogRequest& request) override {
        QString selected = selectedFilterText(request);
        return QFileDialog::getOpenFileNames(request.owner, request.title, request.folder,
                                             joinedFilters(request), &selected);
    }
    QString getOpenFileName(const FileDialogRequest& request) override {
        QString selected = selectedFilterText(request);
        return QFileDialog::getOpenFileName(request.owner, request.title, startPath(request),
                                            joinedFilters(request), &selected);
    }
    QString getSaveFileName(const FileDialogRequest& request) override {
        QString selected = selectedFilterText(request);
        return QFileDialog::getSaveFileName(request.owner, request.title, startPath(request),
                                            joinedFilters(request), &selected);
    }
};

FileDialogs* g_replacement = nullptr;

}  // namespace

FileDialogs& fileDialogs() {
    static QtFileDialogs qtDialogs;
    return g_replacement ? *g_replacement : qtDialogs;
}

FileDialogs* setFileDialogs(FileDialogs* dialogs) {
    FileDialogs* previous = g_replacement;
    g_replacement = dialogs;
    return previous;
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString folderWithSeparator(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

}  // namespace platform
