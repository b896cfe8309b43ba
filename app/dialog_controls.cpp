// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dialog_controls.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/control_ids.h"
#include "app/transition_names.h"
#include "timeline/transition_catalogue.h"

namespace {

template <typename Control>
Control* place(Control* control, int id, const DialogUnits& units, const DialogRect& rect) {
    control->setProperty(ids::kControlIdProperty, id);
    control->setGeometry(units.toPixels(rect));
    return control;
}

}  // namespace

void useDialogFont(QDialog* dialog) {
    QFont f = dialog->font();
    f.setPointSize(8);
    dialog->setFont(f);
}

QLabel* addLabel(QWidget* parent, int id, const QString& text, const DialogUnits& units,
                 DialogRect rect) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return place(label, id, units, rect);
}

QLineEdit* addEdit(QWidget* parent, int id, bool centred, const DialogUnits& units,
                   DialogRect rect) {
    auto* edit = new QLineEdit(parent);
    if (centred) edit->setAlignment(Qt::AlignCenter);
    return place(edit, id, units, rect);
}

QPushButton* addButton(QWidget* parent, int id, const QString& text, const DialogUnits& units,
                       DialogRect rect) {
    auto* button = new QPushButton(text, parent);
    // Only the button a dialog names as its default answers Enter.
    button->setAutoDefault(false);
    return place(button, id, units, rect);
}

QGroupBox* addGroupFrame(QWidget* parent, int id, const QString& text, const DialogUnits& units,
                         DialogRect rect) {
    auto* frame = place(new QGroupBox(text, parent), id, units, rect);
    frame->lower();
    return frame;
}

QRadioButton* addRadioButton(QWidget* parent, int id, const QString& text, const DialogUnits& units,
                             DialogRect rect) {
    return place(new QRadioButton(text, parent), id, units, rect);
}

QComboBox* addTransitionList(QWidget* parent, int id, const DialogUnits& units, DialogRect rect) {
    auto* list = new QComboBox(parent);
    for (int i = 0; i < timeline::TransitionCatalogue::kCount; ++i)
        list->addItem(transitionMenuName(i));
    list->setMaxVisibleItems(16);
    return place(list, id, units, rect);
}
