// Files dropped on the main window join the end of the clip list, in every window state.
#include <QFileInfo>

#include "app/clip_adding.h"
#include "app/clip_list_view.h"
#include "app/main_window.h"

void CSlidemintDlg::onFilesDropped(const QStringList& paths) {
    ClipAdder adder(this, clips(), transitionDefaults(), random());
    for (const QString& path : paths) {
        // Folders, and items that are gone or cannot be looked at, are passed over silently.
        const QFileInfo item(path);
        if (!item.exists() || item.isDir()) continue;
        adder.add(path);
    }
    adder.finish();
    clipView().refresh();
    clips().rebuildAudioSources();
}
