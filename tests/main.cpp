// The one test runner: GoogleTest inside a Qt application, headless.
#include "app/singleinstance.h"
#include "webengine/webengineloader.h"

#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace {

// The single-instance tests start this program again as a second process that takes the guard the
// way the program does at start.
int probeSingleInstance(const char *folder)
{
    corvane::SingleInstance guard(QStringLiteral("Corvane"), QString::fromLocal8Bit(folder));
    const bool first = guard.checkMutex();
    std::puts(first ? "first" : "running");
    std::fflush(stdout);
    if (first)
        QThread::sleep(60);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && std::string(argv[1]) == "--probe-single-instance")
        return probeSingleInstance(argv[2]);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The tests run as root on CI, where the web engine's sandbox cannot start; the program itself
    // never turns it off.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Settings (the recent files) and the data folder are the process's own, not the user's and
    // not shared with the tests that run beside it.
    const QTemporaryDir home;
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, QString(home.path() + QLatin1Char('/') + QLatin1String(name)).toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    // The windows load the web engine from the module beside the program, and this is elsewhere.
    corvane::setWebEngineModule(QStringLiteral(CORVANE_WEBENGINE_MODULE));
    // Numbers must not depend on the machine's settings.
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
