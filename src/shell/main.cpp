#include "shell/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral("6.0.0"));
    corvane::MainWindow window;
    window.show();
    return app.exec();
}
