#include "app/application.h"
#include "app/command_line_files.h"
#include "app/compressor_trial_mode.h"
#include "app/program_options.h"

#include <QApplication>

int main(int argc, char** argv) {
    // A helper process of the Options dialog: no window, one answer.
    if (isCompressorTrialMode(argc, argv)) return runCompressorTrialMode(argc, argv);
    if (answerProgramOptions(argc, argv, stdout)) return 0;  // before any display is needed
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clipfuse"));
    CSlidemintApp app;
    app.setFilesToOpen(filesFromCommandLine(QApplication::arguments()));
    return app.run();
}
