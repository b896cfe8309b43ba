// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preview player: its own top-level window, in which the graph's video renderer
// draws, and the control of playback by a right-click menu (Play, Pause, Stop, Close). The
// player neither builds nor releases the graph; it only uses the interfaces it queries
// from it. Closing the window asks the owner to stop the preview (command 1019). One player
// serves one preview run. Everything runs on the interface thread.
#include <QMargins>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "media/core/status.h"
#include "output/preview_graph.h"

class QMenu;

enum class PlayerState { Stopped = 0, Paused = 1, Running = 2, Idle = 3 };

namespace playerids {
inline constexpr int kMenuResource = 134;
inline constexpr int kPlay = 32773;
inline constexpr int kPause = 32774;
inline constexpr int kStop = 32775;
inline constexpr int kClose = 32776;
// The command the player posts to its owner when the user closes it: the Preview button.
inline constexpr int kPreviewCommand = 1019;
// The message on which the graph announces its events (WM_USER + 13).
inline constexpr int kGraphNotify = 1024 + 13;
}  // namespace playerids

class CVcdCore {
public:
    explicit CVcdCore(QWidget* ownerWindow);
    virtual ~CVcdCore();
    CVcdCore(const CVcdCore&) = delete;
    CVcdCore& operator=(const CVcdCore&) = delete;

    // Opens the window on `graph` (not owned; it outlives the player) and starts playback.
    // A failure has been shown as a diagnostic and the player is closed.
    media::Status AttachGraph(preview::PreviewGraph* graph);
    // Stops playback, destroys the window and lets go of the graph's interfaces.
    void ClosePlayer();

    // The right-click menu's commands (also sent by tests).
    void runCommand(int id);
    // The right-click menu as it would open now, items greyed by state.
    std::unique_ptr<QMenu> buildPlayerMenu() const;

    PlayerState state() const { return playerState; }
    bool isAudioOnly() const { return audioOnly != 0; }
    // The player's window; null when it does not exist.
    QWidget* window() const { return m_hWnd.data(); }

private:
    friend class PlayerWindow;
    void DetectVideo();
    media::Status InitVideoWindow(int multiplier, int divider);
    void RefreshPlayerTitle();
    void ShowPlayerMenu(const QPoint& clientPoint);
    void DrainGraphEvents();
    void ReleaseGraphInterfaces();
    void Play();
    void Pause();
    void Stop();
    QRect placement() const;
    QRect workArea() const;
    QMargins frameMargins() const;
    // Moves the window back inside the work area (scaling its picture down if need be)
    // when its real frame sticks out.
    void KeepOnScreen();

    QPointer<QWidget> ownerWindow;
    QString mediaTitle;
    int audioOnly = 0;
    PlayerState playerState = PlayerState::Idle;
    preview::VideoWindow* pVW = nullptr;
    preview::BasicVideo* pBV = nullptr;
    preview::PreviewGraph* pGB = nullptr;
    preview::MediaControl* pMC = nullptr;
    preview::MediaEvents* pME = nullptr;
    preview::BasicAudio* pBA = nullptr;
    preview::MediaSeeking* pMS = nullptr;
    QPointer<QWidget> m_hWnd;
    bool windowCreated = false;
    int videoShown = 0;
};
