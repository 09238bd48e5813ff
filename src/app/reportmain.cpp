// corvane-report: computes a job's report pages from the command line
// (report/reportcommand.h).
#include "ground/programfolder.h"
#include "report/reportcommand.h"
#include "webengine/webengineloader.h"

#include <QGuiApplication>
#include <QProcessEnvironment>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QtMessageHandler g_qtHandler = nullptr;

// Standard error carries this program's own line and nothing else: scripts read it. Qt's notices
// (a session without a runtime folder, the web engine's graphics set-up on a machine without a
// display) say nothing to an operator; what fails is reported in that line, with its reason.
void filterMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        g_qtHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    g_qtHandler = qInstallMessageHandler(filterMessage);
    // Only a report draws: the help, the table check and the test bend run without the window
    // system, as quickly as a program that has none. A command line that is not understood goes
    // to the window system's own reading first, which takes its options (-platform).
    QStringList words;
    for (int i = 0; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    const auto action = corvane::parseReportArguments(words).action;
    const bool draws = action == corvane::ReportArguments::Action::Run ||
                       action == corvane::ReportArguments::Action::Usage;
    std::unique_ptr<QCoreApplication> app;
    if (draws) {
        // Pages and pictures are drawn without a window; nothing needs a display unless one is
        // named.
        if (corvane::needsOffscreenPlatform(QProcessEnvironment::systemEnvironment()))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // QtWebEngine, when a PDF loads it, asks for this before the application exists.
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));

    // The web engine is loaded only when a PDF is written: pages, JSON, DXF, the table check, the
    // test bend and the help run without it.
    const auto renderPdf = [](const QString &htmlPath, const QString &pdfPath) {
        QString error;
        corvane::WebEngine *engine = corvane::webEngine(&error);
        return engine ? engine->exportPdf(htmlPath, pdfPath)
                      : QStringLiteral("Cannot write %1: %2").arg(pdfPath, error);
    };
    const corvane::ReportOutcome outcome = corvane::runReportCommand(
        QCoreApplication::arguments(), corvane::programFolder().path, renderPdf);
    std::fputs(outcome.out.toLocal8Bit().constData(), stdout);
    std::fputs(outcome.err.toLocal8Bit().constData(), stderr);
    std::fflush(nullptr);
    // Every file is written and closed: what the process still holds, the system takes back at
    // once, without the application's and the libraries' teardown.
    std::_Exit(outcome.exitStatus);
}
