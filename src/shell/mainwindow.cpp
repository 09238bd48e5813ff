#include "shell/mainwindow.h"

#include <QLabel>
#include <QStatusBar>

namespace corvane {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Corvane"));
    auto *label = new QLabel(tr("Corvane"), this);
    label->setAlignment(Qt::AlignCenter);
    setCentralWidget(label);
    statusBar()->showMessage(QStringLiteral("Corvane \u00AE %1.%2.%3")
                                 .arg(CORVANE_VERSION_MAJOR)
                                 .arg(CORVANE_VERSION_MINOR)
                                 .arg(CORVANE_VERSION_PATCH));
    resize(1200, 800);
}

} // namespace corvane
