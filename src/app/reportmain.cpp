// corvane-report: computes a job's report pages from the command line
// (report/reportcommand.h).
#include "ground/programfolder.h"
#include "report/reportcommand.h"
#include "webengine/webengineloader.h"

#include <QGuiApplication>
#include <QProcessEnvironment>

#include <cstdio>

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
    // Pages and pictures are drawn without a window; nothing needs a display unless one is named.
    if (corvane::needsOffscreenPlatform(QProcessEnvironment::systemEnvironment()))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // QtWebEngine, when a PDF loads it, asks for this before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Corvane"));

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
    std::fflush(stdout);
    std::fputs(outcome.err.toLocal8Bit().constData(), stderr);
    return outcome.exitStatus;
}
