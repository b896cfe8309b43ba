// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the preview player drives: the played timeline as a graph with the control,
// event, seeking and video interfaces a player queries from it. All calls come from the
// interface thread and return at once; the render itself runs on the engine's threads.
#include <QRect>
#include <QSize>

#include "media/core/status.h"
#include "media/core/ticks.h"
#include "media/render/engine_events.h"

class QObject;
class QWidget;

namespace preview {

// The status of a query for an interface the graph does not have (E_NOINTERFACE).
inline constexpr std::int32_t kNoInterface = static_cast<std::int32_t>(0x80004002);

class MediaControl {
public:
    virtual ~MediaControl() = default;
    virtual media::Status run() = 0;
    // Holds the picture; from a stop it shows the picture at the current position.
    virtual media::Status pause() = 0;
    virtual media::Status stop() = 0;
};

class MediaEvents {
public:
    virtual ~MediaEvents() = default;
    // Each event is announced by posting a QEvent of type `message` to `window` (from any
    // thread); nullptr stops the announcements.
    virtual media::Status setNotifyWindow(QObject* window, int message) = 0;
    // The next event, without waiting; a failure when there is none.
    virtual media::Status getEvent(media::render::EngineEvent& out) = 0;
};

class MediaSeeking {
public:
    virtual ~MediaSeeking() = default;
    virtual media::Status setPositions(media::Ticks current) = 0;
    virtual media::Status setRate(double rate) = 0;
};

// The video renderer's own window: a child of the player's window once owned by it.
class VideoWindow {
public:
    virtual ~VideoWindow() = default;
    virtual media::Status setOwner(QWidget* owner) = 0;
    virtual media::Status setVisible(bool visible) = 0;
    virtual media::Status visible(bool& out) const = 0;
    virtual media::Status setWindowPosition(const QRect& rect) = 0;
};

class BasicVideo {
public:
    virtual ~BasicVideo() = default;
    virtual media::Status videoSize(QSize& out) const = 0;
};

class BasicAudio {
public:
    virtual ~BasicAudio() = default;
    virtual media::Status setVolume(double volume) = 0;
};

// The interfaces are owned by the graph; a null one is an interface the graph lacks (the
// video ones when the result has no picture).
class PreviewGraph {
public:
    virtual ~PreviewGraph() = default;
    virtual MediaControl* mediaControl() = 0;
    virtual MediaEvents* mediaEvents() = 0;
    virtual MediaSeeking* mediaSeeking() = 0;
    virtual VideoWindow* videoWindow() = 0;
    virtual BasicVideo* basicVideo() = 0;
    virtual BasicAudio* basicAudio() = 0;
};

}  // namespace preview
