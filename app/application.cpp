#include "app/application.h"

#include "app/main_window.h"
#include "app/settings_names.h"
#include "app/settings_store.h"

int CSlidemintApp::run() {
    SettingsStore& store = SettingsStore::program();
    currentLanguage_ = store.readText(settings::kOption, settings::kCurrentLanguage, settings::kDefaultLanguage);
    // The language files are loaded here once the translation system takes over.

    CSlidemintDlg window(store, currentLanguage_);
    window.initialise();
    window.exec();
    return 0;
}
