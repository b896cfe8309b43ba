// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's open and save dialogs, behind one small interface, so that every command
// that asks for a file goes through the installed implementation. Tests install a fake that
// answers with prepared paths; the program uses the Qt dialogs.
#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

// What a file dialog is asked to show.
struct FileDialogRequest {
    QWidget* owner = nullptr;
    QString title;
    QString folder;          // the folder shown first; empty: the dialog's own choice
    QStringList filters;     // Qt filter texts: "Video Files (*.avi *.mp4)"
    int selectedFilter = 0;  // index into filters shown at open
    QString fileName;        // a name proposed in the name box (save dialogs)
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Existing files, in the order the dialog returns them; empty when cancelled.
    virtual QStringList getOpenFileNames(const FileDialogRequest& request) = 0;
    // One existing file; empty when cancelled.
    virtual QString getOpenFileName(const FileDialogRequest& request) = 0;
    // A file to write (it may exist; the dialog asks before replacing); empty when cancelled.
    virtual QString getSaveFileName(const FileDialogRequest& request) = 0;
};

// The installed dialogs: the Qt implementation unless a replacement is installed.
FileDialogs& fileDialogs();

// Installs `dialogs` (not owned) and returns the previous replacement; nullptr restores
// the Qt dialogs.
FileDialogs* setFileDialogs(FileDialogs* dialogs);

// Joins a folder and a file name with one "/", never doubling the separator of a root.
QString joinPath(const QString& folder, const QString& name);

// The folder part of `path` up to and including its last "/"; empty when it has none.
QString folderWithSeparator(const QString& path);

}  // namespace platform
