// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The template of the output options dialog (dialog 129): every control with its id, text
// and rectangle in dialog units, in rows from top to bottom. The bitrate rows and the
// compressor rows share one place; the dialog shows one pair or the other.
#include <vector>

#include "ui/dialog_units.h"

class QWidget;

namespace outputdlg {

enum class ControlKind { Label, Edit, CentredEdit, DropList, CheckBox, Button, DefaultButton };

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // a label's or button's caption; a list's items, separated by "|"
    DialogRect rect;
};

const std::vector<ControlTemplate>& dialogTemplate();

// The client area of dialog 129, in dialog units.
inline constexpr int kDialogWidthDu = 278;
inline constexpr int kDialogHeightDu = 192;

// Creates the template's controls on `dialog`, each with its id in the "controlId" property.
void createDialogControls(QWidget* dialog, const DialogUnits& units);

// The child of `dialog` with control id `id`, or nullptr.
QWidget* findDialogControl(const QWidget* dialog, int id);

}  // namespace outputdlg
