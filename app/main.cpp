#include "app/application.h"
#include "app/command_line_files.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clipfuse"));
    CSlidemintApp app;
    app.setFilesToOpen(filesFromCommandLine(QApplication::arguments()));
    return app.run();
}
