// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The clock a preview plays by: the sound device's heard position when there is a sound
// device, else the system clock. Pictures follow it; the render reads it from its threads.
//
// A fresh start (the first Play, or Play after a seek that showed no picture) waits for
// the first picture before the clock moves, so that the sound does not begin before the
// picture can; a second at most, so that a picture that never comes holds nothing up.
// When the sound device is lost during playback, the system clock takes over from the
// last position heard.
#include <chrono>
#include <mutex>

#include "media/render/playback_clock.h"

class SoundOutput;

class PreviewClock {
public:
    // `sound` (not owned) may be null: the system clock then. `withPicture`: a picture is
    // awaited before a fresh start moves on.
    PreviewClock(SoundOutput* sound, bool withPicture);

    // True while the sound device sets the pace.
    bool followsSound() const;
    // True from Play until Pause.
    bool playing() const {
        std::lock_guard lock(mutex_);
        return playing_;
    }
    media::Ticks now();

    void play();
    void pause();
    void seek(media::Ticks position);
    // From the render's threads, for everything handed to a renderer.
    void delivered(bool picture);

    static constexpr std::chrono::milliseconds kPrerollLimit{1000};

private:
    bool soundLeadsLocked();
    void startLocked();

    mutable std::mutex mutex_;
    SoundOutput* sound_;
    const bool withPicture_;
    media::render::PlaybackClock system_;
    bool soundLost_ = false;
    bool playing_ = false;    // Play was asked for, and no Pause since
    bool started_ = false;    // and the clock moves
    bool prerolled_ = false;  // what the start waits for was delivered since the last seek
    std::chrono::steady_clock::time_point playAskedAt_{};
};
