// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's states while it joins or previews, with the button texts and the
// buttons disabled in each, and the once-a-second progress text of a running Join.
#include <QObject>
#include <QTimer>
#include <functional>

class QWidget;

enum class JobState { Idle, Converting, Previewing };

class JobStateControl : public QObject {
    Q_OBJECT
public:
    // `window` holds the controls, found by id.
    explicit JobStateControl(QWidget* window);

    JobState state() const { return state_; }
    bool converting() const { return state_ == JobState::Converting; }
    bool previewing() const { return state_ == JobState::Previewing; }
    int elapsedSeconds() const { return elapsed_; }

    // Sets the flags, the Join and Preview texts and the enabled buttons of `state`.
    // Entering Converting starts the progress timer from 0; leaving it stops the timer and
    // resets the elapsed seconds.
    void setState(JobState state);

    // Where the progress text finds the share of the running Join done (0..1, negative
    // when unknown); asked once a second on the window's thread.
    void setProgressSource(std::function<double()> done) { done_ = std::move(done); }
    // That share now, negative when unknown or not converting.
    double progress() const { return converting() && done_ ? done_() : -1.0; }

    // Rewrites the Join and Preview texts in the current language.
    void applyButtonTexts();

signals:
    // A new progress text each second while converting (runs on the window's thread).
    void progressText(const QString& text);

private:
    void tick();

    QWidget* window_;
    JobState state_ = JobState::Idle;
    int elapsed_ = 0;
    QTimer timer_;
    std::function<double()> done_;
};
