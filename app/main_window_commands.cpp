// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands, dispatched by control and menu id.
#include "app/about_dialog.h"
#include "app/clip_list_view.h"
#include "app/control_ids.h"
#include "app/main_popup_menu.h"
#include "app/main_window.h"
#include "app/shell_commands.h"
#include "ui/text_lookup.h"

#include "ui/message_box.h"


void CSlidemintDlg::runCommand(int id) {
    if (id >= ids::kFirstLanguageCommand && id <= ids::kLastLanguageCommand) {
        onSelectLanguage(id - ids::kFirstLanguageCommand);
        return;
    }
    switch (id) {
        case ids::kAddVideo: onAddVideo(); break;
        case ids::kTransition: onTransitionDefaults(); break;
        case ids::kOptions: onOptions(); break;
        case ids::kPreview: onPreview(); break;
        case ids::kJoin: onJoin(); break;
        case ids::kMoveUp: clipView_->moveSelectedUp(); break;
        case ids::kMoveDown: clipView_->moveSelectedDown(); break;
        case ids::kDeleteSelected: clipView_->deleteSelected(); break;
        case ids::kDeleteAll: clipView_->deleteAll(); break;
        case ids::kClipProperties:
            if (clipView_->requireSelection(1)) onClipProperties(clipView_->firstSelectedRow());
            break;
        case ids::kClipList: openClipsInPlayer(this, *clips_, clipView_->selectedRows()); break;
        case ids::kHelp:
        case ids::kHelpCommand: openHelp(this); break;
        case ids::kHomepage: openHomePage(this); break;
        case ids::kAbout:
        case ids::kPopupAbout: showAbout(); break;
        case ids::kPopupFont: onFont(); break;
        case ids::kExit: requestClose(); break;
        case ids::kIdOk:
        case ids::kIdCancel: accept(); break;
        default: break;
    }
}

void CSlidemintDlg::showAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CSlidemintDlg::showPopupMenu(const QPoint& globalPos) {
    if (const int id = ShowMainPopupMenu(this, globalPos)) runCommand(id);
}

void CSlidemintDlg::onOptions() {
    OutputOptions working = options_;
    if (!runOptionsDialog(working)) return;
    options_ = working;
    showSettingsStatus();
}

void CSlidemintDlg::onClipProperties(int row) {
    if (row < 0 || row >= clips_->count()) return;
    ClipItem& clip = clips_->at(row);
    ClipPropertyEdit edit{QString::fromStdString(clip.fileName.str()), clip.transitionIndex,
                          static_cast<int>(clip.transitionDuration / media::kTicksPerSecond)};
    if (!runClipPropertyDialog(edit)) return;
    const std::string path = edit.fileName.toStdString();
    if (!clip.fileName.assign(path)) {
        // The old file stays: a cut path would name another file.
        ui::showMessage(this, QString::fromStdString(clipListResultText(ClipListResult::PathTooLong, path)),
                        StringText(105));
        return;
    }
    // The clip keeps its measured duration; a new file is not measured again.
    clip.transitionIndex = edit.transitionIndex;
    clip.transitionDuration = static_cast<media::Ticks>(edit.transitionSeconds) * media::kTicksPerSecond;
    clipView_->updateRow(row);
    clips_->rebuildAudioSources();
}
