// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/clip_list_view.h"
#include "app/control_ids.h"
#include "app/default_output_name.h"
#include "app/divx_feedback.h"
#include "app/main_window_layout.h"
#include "app/media_worker.h"
#include "app/window_jobs.h"
#include "app/settings_names.h"
#include "app/settings_store.h"
#include "app/status_line.h"
#include "timeline/output_run.h"
#include "timeline/preview_renderer.h"
#include "media/codecs/stored_compressors.h"
#include "res/pictures.h"
#include "ui/hover_button.h"
#include "ui/message_box.h"
#include "ui/text_lookup.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>

#include <chrono>

CSlidemintDlg::CSlidemintDlg(SettingsStore& store, const QString& currentLanguage, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      store_(store),
      currentLanguage_(currentLanguage),
      clips_(std::make_unique<ClipList>()) {
    setWindowTitle(QStringLiteral("Clipfuse"));
    setProperty(ids::kControlIdProperty, ids::kMainDialog);
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    createControls();
    jobs_ = std::make_unique<WindowJobs>();
    mediaWorker_ = std::make_unique<MediaWorker>();
    jobState_ = new JobStateControl(this);
    connect(jobState_, &JobStateControl::progressText, this, &CSlidemintDlg::setStatusText);
    connectCommands();
}

CSlidemintDlg::~CSlidemintDlg() {
    // The worker goes first, within its short wait: none of its answers may reach a window
    // that is half gone.
    mediaWorker_.reset();
    jobs_.reset();
}

bool CSlidemintDlg::mediaWorkIdle() const {
    return jobs_->idle() && !mediaWorker_->busy();
}

void CSlidemintDlg::createControls() {
    const DialogUnits units(font());
    ::createControls(this, mainWindowTemplate(), units);
    list_ = qobject_cast<QTableWidget*>(control(ids::kClipList));
    status_ = qobject_cast<QLabel*>(control(ids::kStatusLine));
    clipView_ = std::make_unique<ClipListView>(list_, *clips_);
    list_->viewport()->installEventFilter(this);
    setFixedSize(units.toPixels({0, 0, kMainWindowWidthDu, kMainWindowHeightDu}).size());
}

QWidget* CSlidemintDlg::control(int id) const {
    return findControl(this, id);
}

void CSlidemintDlg::initialise() {
    background_ = res::backgroundTile();
    setWindowIcon(res::icon(128));

    options_.outputFormat = store_.readInt(settings::kSettings, settings::kOutputFormat, settings::kDefaultOutputFormat);
    DisableDivxFeedback(divxSettingsStore());
    bindCompressors(readCompressorChoice(store_));
    clipView_->setUpColumns();
    restoreKeptClips();

    transitionDefaults_ = readTransitionDefaults(store_);
    random_.seed(static_cast<std::mt19937::result_type>(
        std::chrono::system_clock::now().time_since_epoch().count()));

    readOutputOptions(store_, defaultOutputName(this), options_);
    showSettingsStatus();
    decorateButtons();
    setAcceptDrops(true);
    translateTexts();
}

void CSlidemintDlg::bindCompressors(const StoredCompressorChoice& choice) {
    media::codecs::ResolvedCompressors resolved =
        media::codecs::ResolveStoredCompressors({choice.video, choice.audio, options_.outputFormat},
                                                compressorRegistry());
    for (const media::Status& failure : resolved.messages)
        ui::showPlainMessage(this, QString::fromStdString(failure.text()));
    compressors_.video = std::move(resolved.pVideoCompressor);
    compressors_.audio = std::move(resolved.pAudioCompressor);
    options_.useVideoCompressor = resolved.useVideoCompressor;
    options_.useAudioCompressor = resolved.useAudioCompressor;
}

void CSlidemintDlg::decorateButtons() {
    constexpr int kHoverSound = 144;  // wave resource
    struct Decoration {
        int id;
        int icon;       // 0: none
        int tooltipId;  // 0: fixed text
        const char* fixedTooltip;
    };
    static const Decoration kDecorations[] = {
        {ids::kAddVideo, 140, 126, nullptr},    {ids::kTransition, 145, 129, nullptr},
        {ids::kOptions, 146, 120, nullptr},     {ids::kPreview, 147, 130, nullptr},
        {ids::kJoin, 128, 127, nullptr},        {ids::kMoveUp, 150, 133, nullptr},
        {ids::kMoveDown, 151, 134, nullptr},    {ids::kDeleteSelected, 152, 135, nullptr},
        {ids::kDeleteAll, 154, 136, nullptr},   {ids::kClipProperties, 155, 137, nullptr},
        {ids::kHomepage, 0, 0, "Homepage"},     {ids::kAbout, 0, 0, "About"},
        {ids::kExit, 0, 0, "Exit"},             {ids::kHelp, 0, 0, "Help"},
    };
    const DialogUnits units(font());
    for (const Decoration& d : kDecorations) {
        auto* button = qobject_cast<CHoverButton*>(control(d.id));
        if (!button) continue;
        if (d.icon) {
            button->setIcon(res::icon(d.icon));
            // Command buttons show the icon above their caption; the small ones fill themselves.
            const QSize room = button->size();
            const int side = d.id >= ids::kDeleteSelected && d.id <= ids::kClipProperties
                                 ? qMin(room.width(), room.height()) - 4
                                 : room.height() - units.charHeight() - 8;
            button->setIconSize(QSize(side, side));
        }
        button->setHoverSound(kHoverSound);
        button->setTransparent(true);
        button->setHoverCursor(res::buttonCursor());
        button->setTooltipText(d.tooltipId ? StringText(d.tooltipId) : QString::fromUtf8(d.fixedTooltip));
        button->setAlignment(CHoverButton::Alignment::IconAbove);
    }
}

void CSlidemintDlg::connectCommands() {
    const auto children = findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
    for (QAbstractButton* button : children) {
        const int id = button->property(ids::kControlIdProperty).toInt();
        connect(button, &QAbstractButton::clicked, this, [this, id] { runCommand(id); });
    }
    connect(list_, &QTableWidget::customContextMenuRequested, this,
            [this] { runCommand(ids::kClipProperties); });
}

void CSlidemintDlg::showSettingsStatus() {
    statusLine_ = settingsStatusText(options_);
    showListLength();
}

void CSlidemintDlg::showDoneStatus(const media::CopyReport& copied) {
    statusLine_ = doneStatusText(options_, copied);
    showListLength();
}

void CSlidemintDlg::showListLength() {
    // While a Join runs the line is its progress, rewritten every second.
    if (jobState_->converting()) return;
    // Only measured clips count: a kept duration waiting for its measurement may be anything.
    media::Ticks length = 0;
    for (int i = 0; i < clips_->count(); ++i)
        if (clips_->at(i).state == ClipState::Measured) length += clips_->at(i).duration;
    setStatusText(statusLine_ + lengthStatusText(length));
}

void CSlidemintDlg::setStatusText(const QString& text) {
    status_->setText(text);
}

QString CSlidemintDlg::statusText() const {
    return status_->text();
}

void CSlidemintDlg::requestClose() {
    if (jobState_->converting()) {
        ui::showMessage(this, StringText(143), StringText(108));
        return;
    }
    if (jobState_->previewing()) {
        ui::showPlainMessage(this, QStringLiteral("Please first stop Preview"));
        return;
    }
    releaseCompressors();
    store_.writeText(settings::kOption, settings::kCurrentLanguage, currentLanguage_);
    closing_ = true;
    // Measurements still under way are given up: their files are read again next time.
    jobs_->clear();
    mediaWorker_->cancel();
    QDialog::done(QDialog::Accepted);
}

void CSlidemintDlg::postCloseRequest() {
    QMetaObject::invokeMethod(this, &CSlidemintDlg::requestClose, Qt::QueuedConnection);
}

void CSlidemintDlg::accept() {
    postCloseRequest();
}

void CSlidemintDlg::reject() {
    postCloseRequest();
}

void CSlidemintDlg::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    event->ignore();
    requestClose();
}

void CSlidemintDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CSlidemintDlg::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    event->acceptProposedAction();
    if (!paths.isEmpty()) onFilesDropped(paths);
}

void CSlidemintDlg::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            // Enter presses the button that has the focus, and closes the window otherwise.
            if (auto* button = qobject_cast<QAbstractButton*>(focusWidget()); button && button->isEnabled())
                button->click();
            else
                postCloseRequest();
            return;
        }
        if (event->key() == Qt::Key_F1) {
            runCommand(ids::kHelpCommand);
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            postCloseRequest();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void CSlidemintDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // Only the window's own background: a control that lets the release through (a
        // button, the status line) is not the background. The frame around the command
        // buttons is drawn on the background and counts as it.
        QWidget* under = childAt(event->position().toPoint());
        if (!under || under == control(ids::kButtonFrame)) showPopupMenu(event->globalPosition().toPoint());
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

void CSlidemintDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!background_.isNull()) p.drawTiledPixmap(rect(), background_);
}

bool CSlidemintDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        runCommand(ids::kClipList);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
