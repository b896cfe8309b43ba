// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long the Options dialog takes to learn which installed compressors write an
// output (MKV at two sizes), how late a 50 ms timer on the window's thread fired meanwhile,
// and how long the next dialog takes with the answers kept in the file.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/compressor_trial_mode.h"
#include "output/output_dialog_ids.h"
#include "output/output_settings_dialog.h"

namespace {

class BenchSettings : public output::OutputSettingsStore {
public:
    explicit BenchSettings(QString answers) : answers_(std::move(answers)) {}
    int compressorNumber(media::codecs::CompressorCategory) const override { return -2; }
    void write(const output::StoredOutputValues&) override {}
    QString compressorAnswersFile() const override { return answers_; }

private:
    QString answers_;
};

void measure(const char* label, int width, int height, BenchSettings& settings) {
    OutputOptions options;
    options.outputName = QDir::tempPath() + QStringLiteral("/bench.mkv");
    options.outputFormat = 2;
    options.outputWidth = width;
    options.outputHeight = height;
    BoundCompressors bound;
    QElapsedTimer clock;
    clock.start();
    CDialogOutputSettings dialog(options, bound, settings);
    dialog.show();
    const qint64 opened = clock.elapsed();
    qint64 last = clock.elapsed(), worstLate = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worstLate = std::max(worstLate, now - last - 50);
        last = now;
    });
    ticks.start(50);
    while (dialog.tryingCompressors())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qint64 answered = clock.elapsed();
    dialog.reject();
    const auto rows = [&](int id) {
        return qobject_cast<QComboBox*>(dialog.control(id))->count() - 1;
    };
    std::printf(
        "%-28s %4d video + %2d audio rows: dialog open %5lld ms, all answered %6lld ms, "
        "50 ms timer at most %4lld ms late\n",
        label, rows(outputdlg::kVideoCompressorList), rows(outputdlg::kAudioCompressorList),
        static_cast<long long>(opened), static_cast<long long>(answered),
        static_cast<long long>(worstLate));
}

}  // namespace

int main(int argc, char** argv) {
    if (isCompressorTrialMode(argc, argv)) return runCompressorTrialMode(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    BenchSettings settings(config.path() + QStringLiteral("/answers.json"));
    measure("MKV 352x240, first start", 352, 240, settings);
    measure("MKV 1280x720, first start", 1280, 720, settings);
    measure("MKV 352x240, next start", 352, 240, settings);
    measure("MKV 1280x720, next start", 1280, 720, settings);
    return 0;
}
