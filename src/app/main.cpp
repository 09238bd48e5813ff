#include "app/desktopcommand.h"
#include "app/mainwindow.h"
#include "ground/maker.h"
#include "ground/programfolder.h"
#include "app/singleinstance.h"
#include "app/starttiming.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>

namespace {

// Answers --help and --version, or says what is wrong with the command line; -1 when the
// program is to start.
int answerCommandLine(const corvane::DesktopArguments &arguments)
{
    using Action = corvane::DesktopArguments::Action;
    switch (arguments.action) {
    case Action::Run:
        return -1;
    case Action::Help:
        std::fputs(qPrintable(corvane::desktopHelp()), stdout);
        return 0;
    case Action::Version:
        std::printf("corvane %s\n", qPrintable(corvane::maker::versionText()));
        return 0;
    case Action::Usage:
        std::fprintf(stderr, "corvane: %s\n%s\n", qPrintable(arguments.error),
                     qPrintable(corvane::desktopUsage()));
        return 2;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    // --help and --version are answered before the window system is reached, so that they work
    // without a display. The rest is checked once QApplication has taken its own options
    // (-platform, -style) out of the arguments.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const corvane::DesktopArguments early = corvane::parseDesktopArguments(raw);
    if (early.action == corvane::DesktopArguments::Action::Help ||
        early.action == corvane::DesktopArguments::Action::Version)
        return answerCommandLine(early);

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

    const corvane::DesktopArguments arguments =
        corvane::parseDesktopArguments(QCoreApplication::arguments().mid(1));
    if (const int status = answerCommandLine(arguments); status >= 0)
        return status;

    corvane::SingleInstance guard(corvane::maker::kProduct);
    if (!guard.checkMutex()) {
        QMessageBox::information(nullptr, corvane::maker::kProduct,
                                 corvane::maker::kProduct + QStringLiteral(" is already running"));
        return 0;
    }

    // A job file given on the command line (the file manager's "open with") opens at start.
    const corvane::ProgramFolder &folder = corvane::programFolder();
    corvane::MainWindow window({folder.path, true, arguments.jobPath});
    if (corvane::StartTiming::requested())
        new corvane::StartTiming(window);
    window.show();
    if (!folder.error.isEmpty())
        QMessageBox::warning(&window, corvane::maker::kProduct, folder.error);
    return app.exec();
}
