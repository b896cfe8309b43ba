// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's short sounds (wave resources), played without waiting. Commands reach them
// through this interface so that tests can count what would be heard.
#include <QtGlobal>

class QSoundEffect;

namespace ui {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts wave `waveId` and returns at once; an unknown id, or a machine without a sound
    // output, plays nothing.
    virtual void play(int waveId) = 0;
};

// The player in use; the program's own unless a test installed another.
SoundPlayer& soundPlayer();

// Installs `replacement` (not owned) and returns the previous one; nullptr restores the
// program's own player.
SoundPlayer* setSoundPlayer(SoundPlayer* replacement);

// The effect that plays wave `waveId`, made and loaded on first use and kept for the
// application's life; nullptr for an unknown id or before the application exists.
QSoundEffect* waveEffect(int waveId);

}  // namespace ui
