#include "app/application.h"

#include <QMetaObject>

#include "app/command_line_files.h"
#include "app/main_window.h"
#include "app/program_files_report.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "ui/language.h"

int CSlidemintApp::run() {
    reportProgramFiles();
    SettingsStore& store = SettingsStore::program();
    currentLanguage_ = store.readText(settings::kOption, settings::kCurrentLanguage, settings::kDefaultLanguage);
    theLanguage.setSettings(&store);
    theLanguage.Init(LanguageRootDirectory(), currentLanguage_);
    currentLanguage_ = theLanguage.CurrentName();

    CSlidemintDlg window(store, currentLanguage_);
    window.initialise();
    // Queued, so that the window is on screen before a file's message can show.
    if (!filesToOpen_.isEmpty())
        QMetaObject::invokeMethod(
            &window, [&window, files = filesToOpen_] { openCommandLineFiles(window, files); },
            Qt::QueuedConnection);
    window.exec();
    return 0;
}
