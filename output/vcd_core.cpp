// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/vcd_core.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include "output/player_placement.h"
#include "res/pictures.h"
#include "ui/command_event.h"
#include "ui/control_id.h"
#include "ui/message_box.h"

namespace {

constexpr int kFrameSettleMs = 300;
const QEvent::Type kGraphNotifyEvent = static_cast<QEvent::Type>(QEvent::User + 13);

void diagnostic(const char* format, const media::Status& s) {
    ShowDiagnostic(QString::asprintf(format, static_cast<unsigned>(s.code())));
}

}  // namespace

// The player's window ("PreviewWindow"): black, a caption with the system menu and a
// minimise box, no resize border. The video renderer draws in it as a child. It is a
// window of its own that belongs to the main window: the main window runs modally, and
// only its own windows get clicks and close requests while it does; the desktop also
// keeps such a window above its owner.
class PlayerWindow : public QWidget {
public:
    explicit PlayerWindow(CVcdCore& player)
        : QWidget(player.ownerWindow, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
          player_(player) {
        setObjectName(QStringLiteral("PreviewWindow"));
        setWindowTitle(QStringLiteral("Video Window"));
        setWindowIcon(res::icon(128));
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::black);
        setPalette(p);
        setAutoFillBackground(true);
        setAttribute(Qt::WA_DeleteOnClose, false);
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == kGraphNotifyEvent) {
            player_.DrainGraphEvents();
            return true;
        }
        if (e->type() == ui::CommandEvent::kType) {
            player_.runCommand(static_cast<ui::CommandEvent*>(e)->id());
            return true;
        }
        return QWidget::event(e);
    }
    void closeEvent(QCloseEvent* e) override {
        // The owner stops the preview, which destroys this window.
        e->ignore();
        if (player_.ownerWindow) ui::postCommand(player_.ownerWindow, playerids::kPreviewCommand);
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) return;
        QWidget::keyReleaseEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) return;
        QWidget::keyPressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::RightButton) player_.ShowPlayerMenu(e->position().toPoint());
    }
    void resizeEvent(QResizeEvent* e) override {
        if (player_.videoShown && player_.pVW) player_.pVW->setWindowPosition(rect());
        QWidget::resizeEvent(e);
    }

private:
    CVcdCore& player_;
};

CVcdCore::CVcdCore(QWidget* owner) : ownerWindow(owner) {}

CVcdCore::~CVcdCore() {
    ClosePlayer();
}

QRect CVcdCore::placement() const {
    const QRect work = workArea();
    const int ownerTop = ownerWindow ? ownerWindow->frameGeometry().top() : work.top() + 245;
    const int left = work.left() + 100;
    const int top = work.top() + 5;
    const int right = work.left() + (4 * (ownerTop - work.top() - 5)) / 3;
    return QRect(QPoint(left, top), QPoint(right, ownerTop)).normalized();
}

media::Status CVcdCore::AttachGraph(preview::PreviewGraph* graph) {
    media::Status s = media::Status::ok();
    auto fail = [this](const media::Status& status) {
        ClosePlayer();
        return status;
    };
    if (mediaTitle.isEmpty() && ownerWindow) {
        ownerWindow->showNormal();
        ownerWindow->raise();
        ownerWindow->activateWindow();
    }
    playerState = PlayerState::Stopped;

    auto* window = new PlayerWindow(*this);
    // Placed by its outer corner, frame included, as the placement rule means it.
    const QRect placed = placement();
    window->resize(placed.size());
    window->move(placed.topLeft());
    m_hWnd = window;
    windowCreated = true;

    pGB = graph;
    const media::Status noInterface(preview::kNoInterface, "No such interface.");
    if (!graph || !(pMC = graph->mediaControl())) {
        diagnostic("FAILED(hr=0x%x) in pGB->QueryInterface(IID_IMediaControl, (void **)&pMC)\n",
                   noInterface);
        return fail(noInterface);
    }
    if (!(pME = graph->mediaEvents())) {
        diagnostic("FAILED(hr=0x%x) in pGB->QueryInterface(IID_IMediaEventEx, (void **)&pME)\n",
                   noInterface);
        return fail(noInterface);
    }
    if (!(pMS = graph->mediaSeeking())) {
        diagnostic("FAILED(hr=0x%x) in pGB->QueryInterface(IID_IMediaSeeking, (void **)&pMS)\n",
                   noInterface);
        return fail(noInterface);
    }
    // A graph without a picture has no video window: that is an audio-only player, not a
    // failure.
    pVW = graph->videoWindow();
    pBV = graph->basicVideo();
    if (!(pBA = graph->basicAudio())) {
        diagnostic("FAILED(hr=0x%x) in pGB->QueryInterface(IID_IBasicAudio, (void **)&pBA)\n",
                   noInterface);
        return fail(noInterface);
    }

    DetectVideo();

    if (s = pME->setNotifyWindow(m_hWnd, kGraphNotifyEvent); !s) {
        diagnostic(
            "FAILED(hr=0x%x) in pME->SetNotifyWindow(reinterpret_cast<OAHWND>(m_hWnd), "
            "WM_GRAPHNOTIFY, 0)\n",
            s);
        return fail(s);
    }
    if (!audioOnly) {
        pVW->setOwner(m_hWnd);
        if (s = InitVideoWindow(1, 1); !s) {
            diagnostic("FAILED(hr=0x%x) in InitVideoWindow(1, 1)\n", s);
            return fail(s);
        }
    }
    if (audioOnly) {
        m_hWnd->hide();
    } else {
        videoShown = 1;
        pVW->setVisible(true);
        m_hWnd->showNormal();
        m_hWnd->update();
        m_hWnd->raise();
        m_hWnd->activateWindow();
        m_hWnd->setFocus();
        // Once the window manager has framed the window, its real frame may need another
        // look.
        QTimer::singleShot(kFrameSettleMs, m_hWnd, [this] { KeepOnScreen(); });
    }
    RefreshPlayerTitle();

    if (s = pMC->run(); !s) {
        diagnostic("FAILED(hr=0x%x) in pMC->Run()\n", s);
        return fail(s);
    }
    playerState = PlayerState::Running;
    return media::Status::ok();
}

void CVcdCore::DetectVideo() {
    if (!pVW || !pBV) {
        audioOnly = 1;
        return;
    }
    audioOnly = 0;
    bool shown = false;
    const media::Status s = pVW->visible(shown);
    if (s.code() == preview::kNoInterface)
        audioOnly = 1;
    else if (!s)
        ShowDiagnostic(
            QString::asprintf("Failed(%08lx) in pVW->get_Visible()!\r\n",
                              static_cast<unsigned long>(static_cast<std::uint32_t>(s.code()))));
}

media::Status CVcdCore::InitVideoWindow(int multiplier, int divider) {
    if (!pBV) return media::Status::ok();
    QSize native;
    if (media::Status s = pBV->videoSize(native); s.code() == preview::kNoInterface)
        return media::Status::ok();
    const QSize size(native.width() * multiplier / divider, native.height() * multiplier / divider);
    // The client area is the picture's size, unless the window would not fit on screen;
    // frame and caption are the window manager's. No resize border: the size is fixed.
    const PlayerGeometry fitted =
        fitPlayerWindow(workArea(), placement().topLeft(), size, frameMargins());
    m_hWnd->setFixedSize(fitted.client);
    m_hWnd->move(fitted.framePosition);
    const QRect client = m_hWnd->rect();
    if (media::Status s = pVW->setWindowPosition(client); !s) {
        diagnostic(
            "FAILED(hr=0x%x) in pVW->SetWindowPosition(rect.left, rect.top, rect.right, "
            "rect.bottom)\n",
            s);
        return s;
    }
    return media::Status::ok();
}

QRect CVcdCore::workArea() const {
    QScreen* screen = ownerWindow ? ownerWindow->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QMargins CVcdCore::frameMargins() const {
    // The window manager tells a window's frame only once it is on screen; until then the
    // main window's, which it decorates alike, stands in.
    auto margins = [](const QWidget* w) {
        const QRect frame = w->frameGeometry(), inner = w->geometry();
        return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                        frame.right() - inner.right(), frame.bottom() - inner.bottom());
    };
    if (m_hWnd && m_hWnd->isVisible() && !margins(m_hWnd).isNull()) return margins(m_hWnd);
    return ownerWindow ? margins(ownerWindow) : QMargins();
}

void CVcdCore::KeepOnScreen() {
    if (!m_hWnd || !videoShown || !pBV) return;
    const QRect work = workArea();
    if (work.contains(m_hWnd->frameGeometry())) return;
    InitVideoWindow(1, 1);
}

void CVcdCore::RefreshPlayerTitle() {
    if (!m_hWnd) return;
    m_hWnd->setWindowTitle(mediaTitle.isEmpty() ? QStringLiteral("PREVIEW") : mediaTitle);
}

std::unique_ptr<QMenu> CVcdCore::buildPlayerMenu() const {
    auto menu = std::make_unique<QMenu>(QStringLiteral("PREVIEW"));
    menu->setProperty(ui::kControlIdProperty, playerids::kMenuResource);
    auto add = [&menu](const char* text, int id) {
        QAction* a = menu->addAction(QString::fromLatin1(text));
        a->setProperty(ui::kControlIdProperty, id);
        return a;
    };
    QAction* play = add("Play", playerids::kPlay);
    QAction* pause = add("Pause", playerids::kPause);
    QAction* stop = add("Stop", playerids::kStop);
    menu->addSeparator();
    add("Close", playerids::kClose);
    switch (playerState) {
        case PlayerState::Stopped:
            pause->setEnabled(false);
            stop->setEnabled(false);
            break;
        case PlayerState::Paused:
            pause->setEnabled(false);
            break;
        case PlayerState::Running:
            play->setEnabled(false);
            break;
        case PlayerState::Idle:
            break;
    }
    return menu;
}

void CVcdCore::ShowPlayerMenu(const QPoint& clientPoint) {
    if (!m_hWnd) return;
    // Opened without a loop of its own, so that playback events go on being handled while
    // it is open; it is destroyed when it closes.
    QMenu* menu = buildPlayerMenu().release();
    menu->setParent(m_hWnd, menu->windowFlags());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(menu, &QMenu::triggered, m_hWnd, [window = m_hWnd](QAction* chosen) {
        // Posted, as a menu choice is: the menu is gone before the command runs.
        if (window) ui::postCommand(window, chosen->property(ui::kControlIdProperty).toInt());
    });
    menu->popup(m_hWnd->mapToGlobal(clientPoint));
}

void CVcdCore::runCommand(int id) {
    switch (id) {
        case playerids::kPlay:
            Play();
            break;
        case playerids::kPause:
            Pause();
            break;
        case playerids::kStop:
            Stop();
            break;
        case playerids::kClose:
            if (m_hWnd) m_hWnd->close();
            break;
        default:
            break;
    }
}

void CVcdCore::Play() {
    if (!pMC) return;
    if (playerState == PlayerState::Stopped || playerState == PlayerState::Paused) {
        if (pMC->run()) playerState = PlayerState::Running;
    }
    if (pMS && pMS->setRate(1.0)) RefreshPlayerTitle();
}

void CVcdCore::Pause() {
    if (!pMC) return;
    if (playerState != PlayerState::Paused && playerState != PlayerState::Stopped) {
        if (pMC->pause()) playerState = PlayerState::Paused;
    }
    RefreshPlayerTitle();
}

void CVcdCore::Stop() {
    if (!pMC || !pMS) return;
    if (playerState == PlayerState::Paused || playerState == PlayerState::Running) {
        pMC->stop();
        playerState = PlayerState::Stopped;
        pMS->setPositions(0);
        // Shows the first picture; the player stays Stopped.
        pMC->pause();
    }
    RefreshPlayerTitle();
}

void CVcdCore::DrainGraphEvents() {
    media::render::EngineEvent event;
    while (pME && pME->getEvent(event)) {
        if (event.code == media::render::kEventComplete) {
            Stop();
        } else if (event.code == media::render::kEventErrorAbort) {
            // The render cannot go on (a clip became unreadable): say why and rewind.
            ui::showPlainMessage(m_hWnd, QStringLiteral("The preview stopped: %1")
                                             .arg(QString::fromStdString(event.status.text())));
            Stop();
        }
    }
}

void CVcdCore::ClosePlayer() {
    if (pMC) pMC->stop();
    playerState = PlayerState::Stopped;
    audioOnly = 1;
    if (windowCreated) {
        if (pVW) {
            m_hWnd->hide();
            pVW->setVisible(false);
            // The renderer belongs to the graph: it leaves the window before the window goes.
            pVW->setOwner(nullptr);
        }
        if (ownerWindow) ownerWindow->update();
        delete m_hWnd.data();
        m_hWnd = nullptr;
        windowCreated = false;
    }
    ReleaseGraphInterfaces();
    mediaTitle.clear();
    playerState = PlayerState::Idle;
    videoShown = 0;
    if (ownerWindow) ownerWindow->update();
}

void CVcdCore::ReleaseGraphInterfaces() {
    if (pVW) {
        pVW->setVisible(false);
        pVW->setOwner(nullptr);
    }
    if (pME) pME->setNotifyWindow(nullptr, 0);
    pME = nullptr;
    pMS = nullptr;
    pMC = nullptr;
    pBA = nullptr;
    pBV = nullptr;
    pVW = nullptr;
    pGB = nullptr;
}
