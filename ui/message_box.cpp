// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/message_box.h"

#include "media/core/status.h"
#include "platform/application_title.h"

#include <QMessageBox>

namespace ui {

namespace {

QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
        case Icon::Information: return QMessageBox::Information;
        case Icon::Warning: return QMessageBox::Warning;
        case Icon::Question: return QMessageBox::Question;
        case Icon::Error: return QMessageBox::Critical;
        case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

class ModalBoxes final : public MessagePresenter {
public:
    Answer present(const Message& m) override {
        QMessageBox box(toQt(m.icon), m.caption, m.text, QMessageBox::NoButton, m.owner);
        switch (m.buttons) {
            case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
            case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
            case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        }
        // Plain text: file names and status texts may hold '<' and must show as they are.
        box.setTextFormat(Qt::PlainText);
        switch (box.exec()) {
            case QMessageBox::Yes: return Answer::Yes;
            case QMessageBox::No: return Answer::No;
            case QMessageBox::Cancel: return Answer::Cancel;
            default: break;
        }
        // Closing the box with Escape or the close box counts as its negative answer.
        if (m.buttons == Buttons::YesNo) return box.clickedButton() ? Answer::Yes : Answer::No;
        return m.buttons == Buttons::OkCancel ? Answer::Cancel : Answer::Ok;
    }
};

ModalBoxes modalBoxes;
MessagePresenter* presenter = nullptr;

}  // namespace

MessagePresenter* setMessagePresenter(MessagePresenter* replacement) {
    MessagePresenter* previous = presenter ? presenter : &modalBoxes;
    presenter = replacement == &modalBoxes ? nullptr : replacement;
    return previous;
}

Icon effectiveIcon(Buttons buttons, Icon requested) {
    if (requested != Icon::None) return requested;
    return buttons == Buttons::YesNo ? Icon::Question : Icon::Warning;
}

Answer showMessage(QWidget* owner, const QString& text, const QString& caption, Buttons buttons, Icon icon) {
    const Message m{owner, text, caption, buttons, effectiveIcon(buttons, icon)};
    return (presenter ? *presenter : static_cast<MessagePresenter&>(modalBoxes)).present(m);
}

void showPlainMessage(QWidget* owner, const QString& text) {
    showMessage(owner, text, platform::applicationTitle());
}

bool askYesNo(QWidget* owner, const QString& text, const QString& caption, Icon icon) {
    return showMessage(owner, text, caption, Buttons::YesNo, icon) == Answer::Yes;
}

}  // namespace ui

void ShowDiagnostic(const QString& text) {
    ui::showMessage(nullptr, text.left(512), QStringLiteral("Vantrel"));
}

void ReportMediaError(QWidget* owner, const media::Status& status, const QString& caption) {
    if (!status.failed()) return;
    QString text = QString::fromStdString(status.text()).left(160);
    if (text.isEmpty())
        text = QStringLiteral("Unknown Error: 0x%1").arg(static_cast<quint32>(status.code()), 2, 16, QChar(u'0'));
    ui::showMessage(owner, text, caption, ui::Buttons::Ok, ui::Icon::Error);
}
