// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The message boxes of a join, printed on the terminal instead: every box the window would
// show becomes a line "<caption>: <text>" on standard error. A question the command line
// has not answered beforehand is answered No, so nothing is ever done that was not asked for.
#include "ui/message_box.h"

#include <cstdio>

namespace cli {

class ConsoleMessages : public ui::MessagePresenter {
public:
    explicit ConsoleMessages(std::FILE* out = stderr);
    ~ConsoleMessages() override;
    ConsoleMessages(const ConsoleMessages&) = delete;
    ConsoleMessages& operator=(const ConsoleMessages&) = delete;

    ui::Answer present(const ui::Message& message) override;

    // Prints one message as a box would show it.
    void print(const QString& caption, const QString& text);

    int printed() const { return printed_; }

private:
    std::FILE* out_;
    ui::MessagePresenter* previous_;
    int printed_ = 0;
};

}  // namespace cli
