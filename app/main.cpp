#include "app/application.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clipfuse"));
    CSlidemintApp app;
    return app.run();
}
