// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building a small dialog from its template: each control placed by its dialog-unit
// rectangle and carrying its numeric id, as the main window's controls do, so that
// handlers and tests find it by id.
#include <QString>

#include "ui/dialog_units.h"

class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// The dialogs' font: the interface face at 8 points, as their templates ask.
void useDialogFont(QDialog* dialog);

QLabel* addLabel(QWidget* parent, int id, const QString& text, const DialogUnits& units,
                 DialogRect rect);
// A one-line edit; `centred` for numbers.
QLineEdit* addEdit(QWidget* parent, int id, bool centred, const DialogUnits& units,
                   DialogRect rect);
QPushButton* addButton(QWidget* parent, int id, const QString& text, const DialogUnits& units,
                       DialogRect rect);
// A frame drawn behind the controls that sit on it; they stay children of the dialog.
QGroupBox* addGroupFrame(QWidget* parent, int id, const QString& text, const DialogUnits& units,
                         DialogRect rect);
QRadioButton* addRadioButton(QWidget* parent, int id, const QString& text, const DialogUnits& units,
                             DialogRect rect);
// The drop-down list of the 47 transitions in catalogue order, so a row is a transition index.
QComboBox* addTransitionList(QWidget* parent, int id, const DialogUnits& units, DialogRect rect);
