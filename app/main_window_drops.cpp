// SPDX-License-Identifier: GPL-3.0-or-later
// Files dropped on the main window, or named on the command line, join the end of the clip
// list, in every window state.
#include "app/clip_adding.h"
#include "app/clip_list_view.h"
#include "app/main_window.h"

namespace {

void addFiles(CSlidemintDlg& window, WindowJobs& jobs, MediaWorker& worker,
              const QStringList& paths, AddingSource source) {
    ClipAdder adder(&window, window.clips(), window.transitionDefaults(), window.random());
    addClips(jobs, worker, adder, paths, source, [&window](ClipAdder&) {
        window.clipView().refresh();
        window.clips().rebuildAudioSources();
    });
}

}  // namespace

void CSlidemintDlg::onFilesDropped(const QStringList& paths) {
    addFiles(*this, *jobs_, *mediaWorker_, paths, AddingSource::Drop);
}

void CSlidemintDlg::addCommandLineFiles(const QStringList& paths) {
    addFiles(*this, *jobs_, *mediaWorker_, paths, AddingSource::CommandLine);
}
