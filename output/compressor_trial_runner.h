// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs compressor trials in helper processes, so that the window's thread never waits on an
// encoder: at most two at a time, each killed when it passes its time limit or when the
// runner stops. Lives on the window's thread; every signal comes from its event loop.
#include <QObject>
#include <QStringList>
#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "media/writers/compressor_trial_request.h"

class QProcess;
class QTimer;

namespace output {

// The program a trial runs in, and the arguments before the request's.
struct TrialCommand {
    QString program;
    QStringList arguments;
};
// This program's own executable in its trial mode.
TrialCommand ownTrialCommand();

struct TrialResult {
    enum class Kind {
        Answered,  // the helper answered: `refusal` is its answer, empty when it works
        TimedOut,  // no answer within the limit: `refusal` says so
        Failed,    // the helper crashed, printed no answer or could not start: `refusal` says so
    };
    Kind kind = Kind::Answered;
    std::string refusal;
};

class CompressorTrialRunner : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRunning = 2;

    explicit CompressorTrialRunner(TrialCommand command = ownTrialCommand(),
                                   QObject* parent = nullptr);
    ~CompressorTrialRunner() override;

    // Queues a trial, unless the same one is queued or running already; without a limit it
    // runs until it answers.
    void start(const media::TrialRequest& request, std::optional<std::chrono::milliseconds> limit);
    // Trials queued and not yet started are forgotten; running ones go on.
    void dropQueued();
    // Forgets the queue and kills the running trials; none of them reports.
    void stop();
    // Trials queued or running.
    int pending() const;

signals:
    // `key` is media::trialKey of the request.
    void finished(const QString& key, const output::TrialResult& result);

private:
    struct Queued {
        media::TrialRequest request;
        std::optional<std::chrono::milliseconds> limit;
    };
    struct Running;

    void startQueued();
    void end(Running* running, const TrialResult& result);
    void kill(Running& running);

    TrialCommand command_;
    std::deque<Queued> queue_;
    std::vector<std::unique_ptr<Running>> running_;
};

}  // namespace output
