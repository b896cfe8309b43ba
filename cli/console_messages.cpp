// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/console_messages.h"

namespace cli {

ConsoleMessages::ConsoleMessages(std::FILE* out) : out_(out), previous_(ui::setMessagePresenter(this)) {}

ConsoleMessages::~ConsoleMessages() { ui::setMessagePresenter(previous_); }

ui::Answer ConsoleMessages::present(const ui::Message& m) {
    print(m.caption, m.text);
    if (m.buttons == ui::Buttons::YesNo) {
        std::fputs("(answered No)\n", out_);
        return ui::Answer::No;
    }
    return m.buttons == ui::Buttons::OkCancel ? ui::Answer::Cancel : ui::Answer::Ok;
}

void ConsoleMessages::print(const QString& caption, const QString& text) {
    const QByteArray line = (caption.isEmpty() ? text : caption + QStringLiteral(": ") + text).toUtf8();
    std::fprintf(out_, "%s\n", line.constData());
    std::fflush(out_);
    ++printed_;
}

}  // namespace cli
