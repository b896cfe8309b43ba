// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: opens the settings, reads the language to start in, then runs the
// main window until it ends.
#include <QString>
#include <QStringList>

class CSlidemintApp {
public:
    // Start-up in order: the settings store under the company key, the current language
    // name, the main window run modally. Returns the program's exit code.
    int run();

    const QString& currentLanguage() const { return currentLanguage_; }

    // Files to add to the clip list once the window shows, after the clips it opened with.
    void setFilesToOpen(const QStringList& files) { filesToOpen_ = files; }

private:
    QString currentLanguage_;
    QStringList filesToOpen_;
};
