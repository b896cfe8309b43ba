#include "app/application.h"

#include "app/main_window.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "ui/language.h"

int CSlidemintApp::run() {
    SettingsStore& store = SettingsStore::program();
    currentLanguage_ = store.readText(settings::kOption, settings::kCurrentLanguage, settings::kDefaultLanguage);
    theLanguage.setSettings(&store);
    theLanguage.Init(LanguageRootDirectory(), currentLanguage_);
    currentLanguage_ = theLanguage.CurrentName();

    CSlidemintDlg window(store, currentLanguage_);
    window.initialise();
    window.exec();
    return 0;
}
