#pragma once
// The clock a preview plays by: the sound device's heard position when there is a sound
// device, else the system clock. Pictures follow it; the render reads it from its threads.
#include <atomic>

#include "media/render/playback_clock.h"

class SoundOutput;

class PreviewClock {
public:
    // `sound` (not owned) may be null: the system clock then.
    explicit PreviewClock(SoundOutput* sound) : sound_(sound) {}

    bool followsSound() const { return sound_ != nullptr; }
    media::Ticks now() const;

    // Runs from the next picture or sound handed to the renderers, so that opening the
    // first decoders is not counted as lateness.
    void play();
    void pause();
    void seek(media::Ticks position);
    // From the render's thread, for everything handed to a renderer.
    void delivered();

private:
    SoundOutput* sound_;
    media::render::PlaybackClock system_;
    std::atomic<bool> armed_{false};
};
