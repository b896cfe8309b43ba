// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Integer edits of the dialogs, read the way the dialog framework reads them: surrounding
// blanks and a sign are allowed, anything else is no integer. A failed read names the
// problem in the framework's own words and puts the user back on the edit.
#include <QString>
#include <optional>

class QLineEdit;
class QWidget;

struct IntegerFieldRead {
    std::optional<int> value;  // set when the text is an integer within the range
    QString message;           // why not, otherwise
};

// "Enter an integer." for a text that is no integer, "Enter an integer between <minimum>
// and <maximum>." for one outside the range (however many digits it has).
IntegerFieldRead readIntegerField(const QString& text, int minimum, int maximum);

// Reads `edit`. On failure shows the message once (a plain box owned by `dialog`), gives
// the edit the focus with its text selected, and returns nothing.
std::optional<int> exchangeIntegerField(QWidget* dialog, QLineEdit* edit, int minimum, int maximum);
