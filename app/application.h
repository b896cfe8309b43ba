#pragma once
// The application object: opens the settings, reads the language to start in, then runs the
// main window until it ends.
#include <QString>

class CSlidemintApp {
public:
    // Start-up in order: the settings store under the company key, the current language
    // name, the main window run modally. Returns the program's exit code.
    int run();

    const QString& currentLanguage() const { return currentLanguage_; }

private:
    QString currentLanguage_;
};
