// SPDX-License-Identifier: GPL-3.0-or-later
// Add Video (button 1006): files chosen in the open dialog join the end of the clip list.
#include "app/clip_adding.h"
#include "app/clip_list_view.h"
#include "app/main_window.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "app/video_file_filters.h"
#include "app/window_jobs.h"
#include "platform/file_dialogs.h"
#include "ui/text_lookup.h"

void CSlidemintDlg::onAddVideo() {
    // The button is disabled while a Join runs; a command that arrives anyway does nothing.
    if (jobState().converting()) return;

    platform::FileDialogRequest request;
    request.owner = this;
    request.title = StringText(119);
    request.folder = settingsStore().readText(settings::kOption, settings::kLastPhotoFolder,
                                              settings::kDefaultLastPhotoFolder);
    request.filters = videoFileFilters();
    request.selectedFilter = 0;
    const QStringList files = platform::fileDialogs().getOpenFileNames(request);
    if (files.isEmpty()) return;

    const bool single = files.size() == 1;
    ClipAdder adder(this, clips(), transitionDefaults(), random());
    auto finished = [this, single](ClipAdder& added) {
        // A single file that failed ends the command with the list untouched.
        if (single && added.addedCount() == 0) return;
        clipView().refresh();
        // The next dialog opens where the last added clip came from.
        if (added.addedCount() > 0)
            settingsStore().writeText(settings::kOption, settings::kLastPhotoFolder,
                                      platform::folderWithSeparator(added.lastAddedPath()));
        clips().rebuildAudioSources();
    };
    addClips(*jobs_, *mediaWorker_, adder, files, AddingSource::FileDialog, finished);
}
