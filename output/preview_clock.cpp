// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/preview_clock.h"

#include "output/sound_output.h"

PreviewClock::PreviewClock(SoundOutput* sound, bool withPicture)
    : sound_(sound), withPicture_(withPicture) {
    // The sound device holds what it is given until the clock starts.
    if (sound_) sound_->suspend();
}

bool PreviewClock::followsSound() const {
    std::lock_guard lock(mutex_);
    return sound_ && !soundLost_;
}

bool PreviewClock::soundLeadsLocked() {
    if (!sound_ || soundLost_) return false;
    if (!sound_->lost()) return true;
    // From here on the system clock runs on from what was heard last: no jump.
    soundLost_ = true;
    system_.pause();
    system_.set(sound_->position());
    if (started_) system_.start();
    return false;
}

media::Ticks PreviewClock::now() {
    std::lock_guard lock(mutex_);
    if (playing_ && !started_ && std::chrono::steady_clock::now() - playAskedAt_ > kPrerollLimit)
        startLocked();
    return soundLeadsLocked() ? sound_->position() : system_.now();
}

void PreviewClock::startLocked() {
    started_ = true;
    if (soundLeadsLocked())
        sound_->resume();
    else
        system_.start();
}

void PreviewClock::play() {
    std::lock_guard lock(mutex_);
    if (playing_) return;
    playing_ = true;
    playAskedAt_ = std::chrono::steady_clock::now();
    if (prerolled_) startLocked();
}

void PreviewClock::pause() {
    std::lock_guard lock(mutex_);
    playing_ = started_ = false;
    if (soundLeadsLocked()) sound_->suspend();
    system_.pause();
}

void PreviewClock::seek(media::Ticks position) {
    std::lock_guard lock(mutex_);
    prerolled_ = false;
    if (soundLeadsLocked()) sound_->reset(position);
    system_.set(position);
}

void PreviewClock::delivered(bool picture) {
    std::lock_guard lock(mutex_);
    if (prerolled_ || (withPicture_ && !picture)) return;
    prerolled_ = true;
    if (playing_ && !started_) startLocked();
}
