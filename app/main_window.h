// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one window (dialog 102): the clip list and every command of the program.
// The window owns the project (clips, output options, transition defaults) and the job
// state. Commands arrive by control id; each command whose work lives elsewhere is a
// virtual seam, so that the parts that implement it plug in without touching the window.
#include "app/clip_list.h"
#include "app/clip_property_edit.h"
#include "app/job_state.h"
#include "app/program_settings.h"
#include "app/transition_defaults.h"
#include "media/codecs/compressor_registry.h"
#include "media/smart/copy_report.h"
#include "output/bound_compressors.h"
#include "output/output_options.h"

#include <QDialog>
#include <QPixmap>

#include <functional>
#include <memory>
#include <random>

namespace timeline {
class OutputRun;
class PreviewRenderer;
}

class ClipListView;
class MediaWorker;
struct RestoreReport;
class QLabel;
class QTableWidget;
class SettingsStore;
class WindowJobs;

class CSlidemintDlg : public QDialog {
    Q_OBJECT
public:
    // `store` holds the program's settings; `currentLanguage` is the language loaded at
    // start, written back when the window closes.
    CSlidemintDlg(SettingsStore& store, const QString& currentLanguage, QWidget* parent = nullptr);
    ~CSlidemintDlg() override;

    // The window's initialisation: reads the settings, sets up the list, composes the status
    // line, decorates the buttons, translates the texts. Run once before the window shows.
    void initialise();

    QWidget* control(int id) const;
    ClipList& clips() { return *clips_; }
    const ClipList& clips() const { return *clips_; }
    ClipListView& clipView() { return *clipView_; }
    OutputOptions& outputOptions() { return options_; }
    TransitionDefaults& transitionDefaults() { return transitionDefaults_; }
    BoundCompressors& boundCompressors() { return compressors_; }
    JobStateControl& jobState() { return *jobState_; }
    // The running preview, or null.
    timeline::PreviewRenderer* preview() const { return preview_.get(); }
    SettingsStore& settingsStore() { return store_; }
    // Draws the Random transitions of new clips; seeded with the time the window opened.
    std::mt19937& random() { return random_; }
    const QString& currentLanguage() const { return currentLanguage_; }

    // Runs the command of control or menu id `id`, as a click or a menu choice does.
    void runCommand(int id);

    // Files named on the command line (this start's, or a later start's that handed them
    // over) join the list as a drop of them does; one that does not exist is named.
    void addCommandLineFiles(const QStringList& paths);
    // True when no adding command, kept-list restore or other media work of the window is
    // under way or waiting.
    bool mediaWorkIdle() const;

    // The close request of Exit, Enter, Escape and the close box: refused while a Join or a
    // Preview runs; otherwise the window ends.
    void requestClose();

    // The status line.
    void showSettingsStatus();
    // The list kept from the last run, read back at start on the media worker and every clip
    // measured again; every later edit keeps it.
    void restoreKeptClips();
    void showDoneStatus(const media::CopyReport& copied);
    // The settings or "Done" line followed by the length of the joined result, recomposed
    // after every edit of the list.
    void showListLength();
    void setStatusText(const QString& text);
    QString statusText() const;

    // QDialog's own ways to end (Enter, Escape) become close requests.
    void accept() override;
    void reject() override;

protected:
    // Seams of the commands whose work lives in other parts of the program. The defaults do
    // nothing visible.
    virtual void onAddVideo();
    virtual void onTransitionDefaults();
    // The output options dialog on `working`, a copy of the window's options; true for OK.
    virtual bool runOptionsDialog(OutputOptions& working);
    virtual void onPreview();
    // Plays the clips, each limited to its first 10 seconds, in the preview player; a
    // preview that starts puts the window in Previewing.
    virtual void startPreview();
    // The running preview ends: the player closes and the window returns to Idle.
    void stopPreview();
    virtual void onJoin();
    // The Font command and the language submenu's commands (main_window_language.cpp).
    virtual void onFont();
    virtual void onSelectLanguage(int index);
    // Files dropped on the window, in the order of the drop; accepted in every state.
    virtual void onFilesDropped(const QStringList& paths);
    // The clip property dialog on `edit`; true for OK.
    virtual bool runClipPropertyDialog(ClipPropertyEdit& edit);
    // Binds the compressors chosen by the stored numbers and sets the in-use flags.
    virtual void bindCompressors(const StoredCompressorChoice& choice);
    // Releases the bound compressors when the window closes.
    virtual void releaseCompressors();
    // The installed compressors, which start-up and the Options dialog choose from.
    virtual const media::codecs::CompressorRegistry& compressorRegistry() const;
    // Rewrites the window's texts in the current language.
    virtual void translateTexts();

    // The Join command's steps (main_window_join.cpp). startJoin builds the timeline and
    // hands it to the output renderer; a run that starts puts the window in Converting.
    virtual void startJoin();
    // The first checks of Join and Preview: a list to work on, and not too long. Tells the
    // user when it fails.
    bool listFitsAJob();
    // Stop and completion: the running join ends, the file keeps what was written, the
    // window returns to Idle with the "Done" line.
    void stopAndComplete();
    // The render's news, posted from its threads: every queued event is taken without waiting.
    void drainMediaEvents();
    // The running join, or null.
    timeline::OutputRun* outputRun() const { return outputRun_.get(); }
    void setOutputRun(std::unique_ptr<timeline::OutputRun> run);
    // Posts the media-event message to this window; safe from any thread.
    void postGraphNotify();
    void customEvent(QEvent* event) override;

    void showAbout();
    void onOptions();
    void onClipProperties(int row);
    void showPopupMenu(const QPoint& globalPos);

    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The steps of restoreKeptClips (main_window_kept_list.cpp).
    void takeKeptClips(std::shared_ptr<RestoreReport> report, std::function<void()> done);
    void finishKeptClips(const std::shared_ptr<RestoreReport>& report);
    void createControls();
    void decorateButtons();
    void connectCommands();
    void postCloseRequest();

    SettingsStore& store_;
    QString currentLanguage_;
    std::unique_ptr<ClipList> clips_;  // two fixed tables: kept off the stack
    std::unique_ptr<ClipListView> clipView_;
    OutputOptions options_;
    BoundCompressors compressors_;
    std::unique_ptr<timeline::OutputRun> outputRun_;
    std::unique_ptr<timeline::PreviewRenderer> preview_;
    TransitionDefaults transitionDefaults_;
    JobStateControl* jobState_ = nullptr;
    std::mt19937 random_;
    QPixmap background_;
    QTableWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    QString statusLine_;  // the settings or "Done" line, before the list's length
    bool closing_ = false;
    // Last, so that they go first: the worker's answers need the rest of the window.
    std::unique_ptr<WindowJobs> jobs_;
    std::unique_ptr<MediaWorker> mediaWorker_;
};
