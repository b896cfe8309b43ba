// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"

#include <QMetaObject>

#include "app/command_line_files.h"
#include "app/main_window.h"
#include "app/program_files_report.h"
#include "app/program_instance.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "app/window_activation.h"
#include "ui/language.h"
#include "ui/message_box.h"

int CSlidemintApp::run() {
    SettingsStore& store = SettingsStore::program();
    // One window per settings: a window already open takes this start's files and comes
    // forward, and this start ends.
    ProgramInstance instance(store.filePath());
    switch (instance.start({filesToOpen_, activationTokenOfThisStart()})) {
        case ProgramInstance::Role::HandedOver: return 0;
        case ProgramInstance::Role::Failed:
            ui::showPlainMessage(nullptr, instance.error());
            return 1;
        case ProgramInstance::Role::First: break;
    }
    reportProgramFiles();
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
    QObject::connect(&instance, &ProgramInstance::handedOver, &window, [&window](const HandOff& request) {
        openCommandLineFiles(window, request.files);
        bringForward(&window, request.activationToken);
    });
    window.exec();
    return 0;
}
