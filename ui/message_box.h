// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the program shows a message. Every box goes through the installed presenter,
// which tests replace with a recorder to check texts and captions without a person.
#include <QString>

class QWidget;

namespace media {
class Status;
}

namespace ui {

enum class Buttons { Ok, OkCancel, YesNo };
enum class Icon { None, Information, Warning, Question, Error };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
    QWidget* owner = nullptr;  // nullptr: a box without owner window
    QString text;
    QString caption;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;    // the icon actually shown, after the rules of effectiveIcon
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual Answer present(const Message& message) = 0;
};

// Installs `presenter` (not owned) and returns the previous one; nullptr restores the
// program's own modal boxes.
MessagePresenter* setMessagePresenter(MessagePresenter* presenter);

// A box asking for no icon gets the exclamation icon when it offers only OK or OK and
// Cancel, and the question icon when it asks Yes or No.
Icon effectiveIcon(Buttons buttons, Icon requested);

// Shows a box and returns the button pressed.
Answer showMessage(QWidget* owner, const QString& text, const QString& caption,
                   Buttons buttons = Buttons::Ok, Icon icon = Icon::None);

// A plain box: the text, the application title as caption, OK.
void showPlainMessage(QWidget* owner, const QString& text);

// A Yes/No question; true only for Yes.
bool askYesNo(QWidget* owner, const QString& text, const QString& caption, Icon icon = Icon::Question);

}  // namespace ui

// A media diagnostic: at most 512 characters, no owner window, caption "Vantrel", OK.
void ShowDiagnostic(const QString& text);

// For a failed status: its text (or "Unknown Error: 0x%2x" when it has none) in a box
// captioned with the failed operation, with the stop-sign icon. Nothing for a success.
void ReportMediaError(QWidget* owner, const media::Status& status, const QString& caption);
