// SPDX-License-Identifier: GPL-3.0-or-later
// Trials in helper processes: real answers from the program's trial mode, and a helper that
// crashes, prints nonsense, cannot start or never answers is a refusal that says so.
#include "output/compressor_trial_runner.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>
#include <map>

#include "media/writers/compressor_trial_request.h"

using namespace output;
using media::codecs::CompressorCategory;

namespace {

media::TrialRequest request(const char* encoder, int formatCode = 0, int width = 352) {
    media::TrialRequest r;
    r.device = {encoder, std::string("Test ") + encoder, CompressorCategory::Video, 7};
    r.output.formatCode = formatCode;
    r.output.width = width;
    return r;
}

class Answers {
public:
    explicit Answers(CompressorTrialRunner& runner) {
        QObject::connect(&runner, &CompressorTrialRunner::finished,
                         [this](const QString& key, const TrialResult& result) {
                             results[key.toStdString()] = result;
                         });
    }
    bool waitFor(std::size_t count, int ms = 20000) {
        return QTest::qWaitFor([&] { return results.size() >= count; }, ms);
    }
    const TrialResult& of(const media::TrialRequest& r) { return results[media::trialKey(r)]; }

    std::map<std::string, TrialResult> results;
};

int running(CompressorTrialRunner& runner) {
    int n = 0;
    for (QProcess* p : runner.findChildren<QProcess*>())
        if (p->state() != QProcess::NotRunning) ++n;
    return n;
}

TrialCommand shell(const char* script) {
    return {QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QString::fromLatin1(script), QStringLiteral("trial")}};
}

}  // namespace

TEST(CompressorTrialRunner, TheTrialModeAnswersAsATrialInThisProcessWould) {
    CompressorTrialRunner runner;
    Answers answers(runner);
    const auto png = request("png");
    const auto h261 = request("h261");  // takes only the CIF sizes
    const auto gone = request("no-such-encoder");
    for (const auto& r : {png, h261, gone}) runner.start(r, std::nullopt);
    runner.start(png, std::nullopt);  // already queued: one trial serves both
    EXPECT_EQ(runner.pending(), 3);
    ASSERT_TRUE(answers.waitFor(3));
    EXPECT_EQ(answers.of(png).kind, TrialResult::Kind::Answered);
    EXPECT_EQ(answers.of(png).refusal, "");
    if (avcodec_find_encoder_by_name("h261")) {
        EXPECT_EQ(answers.of(h261).kind, TrialResult::Kind::Answered);
        EXPECT_NE(answers.of(h261).refusal.find("352*240"), std::string::npos)
            << answers.of(h261).refusal;
    }
    EXPECT_EQ(answers.of(gone).refusal, "The compressor is not installed.");
    EXPECT_EQ(runner.pending(), 0);
}

TEST(CompressorTrialRunner, AHelperThatBreaksDownIsARefusalThatSaysSo) {
    const std::pair<TrialCommand, const char*> cases[] = {
        {shell("kill -SEGV $$"), "Test png could not be tried: its trial crashed."},
        {shell("echo 'Segmentation fault'; exit 0"),
         "Test png could not be tried: its trial gave no answer (exit code 0)."},
        {shell("printf 'clipfuse-trial-answer works'; exit 0"),
         "Test png could not be tried: its trial gave no answer (exit code 0)."},
        {shell("head -c 200000 /dev/zero; sleep 30"),
         "Test png could not be tried: its trial printed more than an answer."},
    };
    for (const auto& [command, text] : cases) {
        CompressorTrialRunner runner(command);
        Answers answers(runner);
        runner.start(request("png"), std::nullopt);
        ASSERT_TRUE(answers.waitFor(1)) << text;
        EXPECT_EQ(answers.of(request("png")).kind, TrialResult::Kind::Failed);
        EXPECT_EQ(answers.of(request("png")).refusal, text);
        EXPECT_EQ(running(runner), 0);
    }
    CompressorTrialRunner missing({QStringLiteral("/nonexistent/clipfuse"), {}});
    Answers answers(missing);
    missing.start(request("png"), std::nullopt);
    ASSERT_TRUE(answers.waitFor(1));
    EXPECT_EQ(answers.of(request("png")).kind, TrialResult::Kind::Failed);
    EXPECT_TRUE(answers.of(request("png"))
                    .refusal.starts_with("Test png could not be tried: its trial could not start"));
}

TEST(CompressorTrialRunner, AtMostTwoRunAndTheLimitOrAStopKillsThem) {
    CompressorTrialRunner runner(shell("sleep 60"));
    Answers answers(runner);
    for (int width : {16, 24, 32, 40}) runner.start(request("png", 0, width), std::nullopt);
    runner.start(request("png", 0, 48), std::chrono::milliseconds(300));
    EXPECT_EQ(running(runner), 2);
    EXPECT_EQ(runner.pending(), 5);
    runner.dropQueued();
    EXPECT_EQ(runner.pending(), 2) << "the running ones go on";
    runner.stop();
    EXPECT_EQ(runner.pending(), 0);
    EXPECT_EQ(running(runner), 0);
    EXPECT_TRUE(answers.results.empty()) << "a stopped trial does not report";

    runner.start(request("png", 0, 48), std::chrono::milliseconds(300));
    ASSERT_TRUE(answers.waitFor(1, 5000));
    EXPECT_EQ(answers.of(request("png", 0, 48)).kind, TrialResult::Kind::TimedOut);
    EXPECT_EQ(answers.of(request("png", 0, 48)).refusal, "Test png did not answer within 0.3 s.");
    EXPECT_EQ(running(runner), 0);
}
