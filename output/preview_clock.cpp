#include "output/preview_clock.h"

#include "output/sound_output.h"

media::Ticks PreviewClock::now() const {
    return sound_ ? sound_->position() : system_.now();
}

void PreviewClock::play() {
    // The sound clock advances only as sound is heard: it needs no arming.
    if (sound_)
        sound_->resume();
    else
        armed_ = true;
}

void PreviewClock::pause() {
    armed_ = false;
    if (sound_)
        sound_->suspend();
    else
        system_.pause();
}

void PreviewClock::seek(media::Ticks position) {
    if (sound_)
        sound_->reset(position);
    else
        system_.set(position);
}

void PreviewClock::delivered() {
    if (armed_.exchange(false)) system_.start();
}
