// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/compressor_trial_runner.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTimer>
#include <algorithm>

namespace output {
namespace {

// An answer is one short line; a helper that prints far more is not answering.
constexpr qint64 kMaxPrinted = 64 * 1024;
// How long a killed helper is given to go; SIGKILL ends it at once unless the kernel holds it.
constexpr int kKillWaitMs = 500;

std::string notTried(const media::TrialRequest& request, const std::string& why) {
    return request.device.friendlyName + " could not be tried: " + why;
}

// A killed trial leaves its scratch file behind; it is named after the helper's process.
void removeScratchFiles(qint64 pid) {
    if (pid <= 0) return;
    QDir temp(QDir::tempPath());
    const QString prefix = QStringLiteral("clipfuse-trial-%1-").arg(pid);
    for (const QString& name : temp.entryList({prefix + u'*'}, QDir::Files | QDir::Hidden))
        temp.remove(name);
}

}  // namespace

TrialCommand ownTrialCommand() {
    return {QCoreApplication::applicationFilePath(),
            {QString::fromLatin1(media::kTrialModeSwitch)}};
}

struct CompressorTrialRunner::Running {
    media::TrialRequest request;
    QString key;
    QProcess* process = nullptr;  // deleted later: it may be the sender of the running slot
    QTimer* limit = nullptr;
    QByteArray printed;
};

CompressorTrialRunner::CompressorTrialRunner(TrialCommand command, QObject* parent)
    : QObject(parent), command_(std::move(command)) {}

CompressorTrialRunner::~CompressorTrialRunner() {
    stop();
}

void CompressorTrialRunner::start(const media::TrialRequest& request,
                                  std::optional<std::chrono::milliseconds> limit) {
    // One trial of a kind at a time: its answer serves every caller that waits for it.
    const QString key = QString::fromStdString(media::trialKey(request));
    for (const auto& r : running_)
        if (r->key == key) return;
    for (const Queued& q : queue_)
        if (QString::fromStdString(media::trialKey(q.request)) == key) return;
    queue_.push_back({request, limit});
    startQueued();
}

void CompressorTrialRunner::dropQueued() {
    queue_.clear();
}

void CompressorTrialRunner::stop() {
    queue_.clear();
    for (auto& running : running_) kill(*running);
    running_.clear();
}

int CompressorTrialRunner::pending() const {
    return static_cast<int>(queue_.size() + running_.size());
}

void CompressorTrialRunner::startQueued() {
    while (!queue_.empty() && static_cast<int>(running_.size()) < kMaxRunning) {
        Queued next = std::move(queue_.front());
        queue_.pop_front();
        auto owned = std::make_unique<Running>();
        Running* r = owned.get();
        r->request = std::move(next.request);
        r->key = QString::fromStdString(media::trialKey(r->request));
        r->process = new QProcess(this);
        QStringList arguments = command_.arguments;
        for (const std::string& a : media::trialArguments(r->request))
            arguments << QString::fromStdString(a);
        r->process->setProgram(command_.program);
        r->process->setArguments(arguments);
        r->process->setStandardInputFile(QProcess::nullDevice());
        r->process->setStandardErrorFile(QProcess::nullDevice());
        connect(r->process, &QProcess::readyReadStandardOutput, this, [this, r] {
            r->printed += r->process->readAllStandardOutput();
            if (r->printed.size() > kMaxPrinted)
                end(r, {TrialResult::Kind::Failed,
                        notTried(r->request, "its trial printed more than an answer.")});
        });
        connect(
            r->process, &QProcess::finished, this,
            [this, r](int exitCode, QProcess::ExitStatus status) {
                r->printed += r->process->readAllStandardOutput();
                const auto answer = media::parseTrialAnswer(std::string_view(
                    r->printed.constData(), static_cast<std::size_t>(r->printed.size())));
                if (answer && status == QProcess::NormalExit)
                    end(r, {TrialResult::Kind::Answered, *answer});
                else if (status == QProcess::CrashExit)
                    end(r, {TrialResult::Kind::Failed, notTried(r->request, "its trial crashed.")});
                else
                    end(r, {TrialResult::Kind::Failed,
                            notTried(r->request, "its trial gave no answer (exit code " +
                                                     std::to_string(exitCode) + ").")});
            });
        connect(r->process, &QProcess::errorOccurred, this, [this, r](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                end(r, {TrialResult::Kind::Failed,
                        notTried(r->request, "its trial could not start (" +
                                                 r->process->errorString().toStdString() + ").")});
        });
        if (next.limit) {
            r->limit = new QTimer(this);
            r->limit->setSingleShot(true);
            const auto seconds = QString::number(static_cast<double>(next.limit->count()) / 1000.0);
            connect(r->limit, &QTimer::timeout, this, [this, r, seconds] {
                end(r, {TrialResult::Kind::TimedOut, r->request.device.friendlyName +
                                                         " did not answer within " +
                                                         seconds.toStdString() + " s."});
            });
            r->limit->start(*next.limit);
        }
        running_.push_back(std::move(owned));
        r->process->start();
    }
}

void CompressorTrialRunner::kill(Running& r) {
    r.process->disconnect(this);
    if (r.limit) {
        r.limit->stop();
        r.limit->deleteLater();
    }
    if (r.process->state() != QProcess::NotRunning) {
        const qint64 pid = r.process->processId();
        r.process->kill();
        r.process->waitForFinished(kKillWaitMs);
        removeScratchFiles(pid);
    }
    r.process->deleteLater();
}

void CompressorTrialRunner::end(Running* r, const TrialResult& result) {
    auto it = std::find_if(running_.begin(), running_.end(),
                           [r](const std::unique_ptr<Running>& p) { return p.get() == r; });
    if (it == running_.end()) return;
    std::unique_ptr<Running> ended = std::move(*it);
    running_.erase(it);
    kill(*ended);
    const QString key = ended->key;
    startQueued();
    emit finished(key, result);
}

}  // namespace output
