// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/sounds.h"

#include <QFile>

// The sounds live in a static library: their resource data must be registered by hand,
// or the linker leaves it out.
static void registerSounds() {
    Q_INIT_RESOURCE(sounds);
}

namespace res {

QUrl waveUrl(int id) {
    static const bool registered = (registerSounds(), true);
    (void)registered;
    const QString path = QStringLiteral(":/sounds/%1.wav").arg(id);
    return QFile::exists(path) ? QUrl(QStringLiteral("qrc") + path) : QUrl();
}

}  // namespace res
