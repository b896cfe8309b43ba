// SPDX-License-Identifier: GPL-3.0-or-later
// The buttons' hover sound is really in the program and loads as a sound, against a sound
// server of the test's own (a null sink: nothing is heard).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSoundEffect>

#include "support/media/sound_server_environment.h"
#include "ui/sound_player.h"

namespace {

using testmedia::SoundServerEnvironment;
[[maybe_unused]] auto* const soundServer =
    ::testing::AddGlobalTestEnvironment(new SoundServerEnvironment);

}  // namespace

TEST(HoverSound, TheWaveLoadsAndPlays) {
    CLIPFUSE_NEED_SOUND_SERVER();
    EXPECT_EQ(ui::waveEffect(7), nullptr);
    QSoundEffect* effect = ui::waveEffect(144);
    ASSERT_NE(effect, nullptr);
    QElapsedTimer waited;
    waited.start();
    while (effect->status() != QSoundEffect::Ready && effect->status() != QSoundEffect::Error &&
           waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(effect->status(), QSoundEffect::Ready);

    ui::soundPlayer().play(144);
    waited.restart();
    while (!effect->isPlaying() && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(effect->isPlaying());
}
