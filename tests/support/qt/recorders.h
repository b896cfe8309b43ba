// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stand-ins that tests install in place of the message boxes, the desktop shell and the
// sounds: they record what the program would show, open or play and answer as the test says.
#include "platform/shell.h"
#include "ui/message_box.h"
#include "ui/sound_player.h"

#include <QString>
#include <QUrl>
#include <deque>
#include <vector>

namespace testqt {

class MessageRecorder : public ui::MessagePresenter {
public:
    MessageRecorder() { previous_ = ui::setMessagePresenter(this); }
    ~MessageRecorder() override { ui::setMessagePresenter(previous_); }

    ui::Answer present(const ui::Message& m) override {
        messages.push_back(m);
        if (!answers.empty()) {
            const ui::Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return m.buttons == ui::Buttons::YesNo ? ui::Answer::No : ui::Answer::Ok;
    }

    std::vector<ui::Message> messages;
    std::deque<ui::Answer> answers;  // given in turn; then OK, or No for a question

private:
    ui::MessagePresenter* previous_;
};

class ShellRecorder : public platform::Shell {
public:
    ShellRecorder() { previous_ = platform::setShell(this); }
    ~ShellRecorder() override { platform::setShell(previous_); }
    bool open(const QUrl& url) override {
        opened.push_back(url);
        return result;
    }
    std::vector<QUrl> opened;
    bool result = true;

private:
    platform::Shell* previous_;
};

class SoundRecorder : public ui::SoundPlayer {
public:
    SoundRecorder() { previous_ = ui::setSoundPlayer(this); }
    ~SoundRecorder() override { ui::setSoundPlayer(previous_); }
    void play(int waveId) override { played.push_back(waveId); }
    std::vector<int> played;

private:
    ui::SoundPlayer* previous_;
};

}  // namespace testqt
