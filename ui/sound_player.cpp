// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/sound_player.h"

#include <QCoreApplication>
#include <QSoundEffect>
#include <map>

#include "res/sounds.h"

namespace ui {

namespace {

class EffectPlayer final : public SoundPlayer {
public:
    void play(int waveId) override {
        // An effect still loading starts by itself once its sound is ready.
        if (QSoundEffect* effect = waveEffect(waveId)) effect->play();
    }
};

EffectPlayer effectPlayer;
SoundPlayer* current = nullptr;

}  // namespace

SoundPlayer& soundPlayer() {
    return current ? *current : effectPlayer;
}

SoundPlayer* setSoundPlayer(SoundPlayer* replacement) {
    SoundPlayer* previous = current ? current : &effectPlayer;
    current = replacement == &effectPlayer ? nullptr : replacement;
    return previous;
}

QSoundEffect* waveEffect(int waveId) {
    // The effects belong to the application object, so that they end before the sound
    // system does.
    static std::map<int, QSoundEffect*> effects;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return nullptr;
    if (auto found = effects.find(waveId); found != effects.end()) return found->second;
    const QUrl url = res::waveUrl(waveId);
    if (url.isEmpty()) return nullptr;
    auto* effect = new QSoundEffect(app);
    QObject::connect(effect, &QObject::destroyed, [waveId] { effects.erase(waveId); });
    effect->setSource(url);
    effects.emplace(waveId, effect);
    return effect;
}

}  // namespace ui
