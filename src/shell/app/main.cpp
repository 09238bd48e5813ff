#include "shell/app/mainwindow.h"
#include "shell/ground/maker.h"
#include "shell/ground/programfolder.h"
#include "shell/app/singleinstance.h"
#include "shell/app/starttiming.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    // The preview's web engine shares its drawing contexts with the windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // Settings (the recent files) are kept in ~/.config/Corvane/Corvane.conf.
    QApplication::setOrganizationName(corvane::maker::kProduct);
    QApplication::setApplicationName(corvane::maker::kProduct);
    QApplication::setApplicationVersion(corvane::maker::versionText());
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("corvane"),
                                                 QIcon(QStringLiteral(":/corvane/corvane.png"))));

    corvane::SingleInstance guard(corvane::maker::kProduct);
    if (!guard.checkMutex()) {
        QMessageBox::information(nullptr, corvane::maker::kProduct,
                                 corvane::maker::kProduct + QStringLiteral(" is already running"));
        return 0;
    }

    // A job file given on the command line (the file manager's "open with") opens at start.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const corvane::ProgramFolder &folder = corvane::programFolder();
    corvane::MainWindow window({folder.path, true, arguments.value(0)});
    if (corvane::StartTiming::requested())
        new corvane::StartTiming(window);
    window.show();
    if (!folder.error.isEmpty())
        QMessageBox::warning(&window, corvane::maker::kProduct, folder.error);
    return app.exec();
}
