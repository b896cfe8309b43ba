// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/property_frame.h"

#include <QDialog>

void preparePropertyFrame(QDialog& frame, QWidget* owner, const QString& caption) {
    frame.setWindowTitle(caption);
    if (!owner) return;
    if (frame.parentWidget() != owner) frame.setParent(owner, frame.windowFlags() | Qt::Dialog);
    frame.move(owner->mapToGlobal(QPoint(0, 0)));
}
