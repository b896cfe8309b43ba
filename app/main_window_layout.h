// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's template (dialog 102): every control with its id, text and rectangle
// in dialog units, and the code that creates the controls on the window.
#include "ui/dialog_units.h"

#include <QString>
#include <vector>

class QWidget;
class QTableWidget;
class QLabel;

enum class ControlKind { TextButton, IconButton, CommandButton, GroupFrame, ListView, StatusLine };

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    DialogRect rect;
};

// The controls of dialog 102, in tab order.
const std::vector<ControlTemplate>& mainWindowTemplate();

// The client area of dialog 102, in dialog units.
inline constexpr int kMainWindowWidthDu = 356;
inline constexpr int kMainWindowHeightDu = 214;

// Creates the controls of `layout` on `parent`, placed with `units`; each gets its id in
// the property "controlId".
void createControls(QWidget* parent, const std::vector<ControlTemplate>& layout, const DialogUnits& units);

// The child of `parent` with control id `id`, or nullptr.
QWidget* findControl(const QWidget* parent, int id);
