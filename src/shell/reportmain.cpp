// corvane-report: computes a job's report pages from the command line (shell/reportcommand.h).
#include "shell/pdfexport.h"
#include "shell/programfolder.h"
#include "shell/reportcommand.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QProcessEnvironment>

#include <cstdio>

namespace {

QtMessageHandler g_qtHandler = nullptr;

// Sessions without a login (cron, containers, a plain ssh command) have no runtime folder; Qt's
// notice about it would stand before every line this program prints.
void filterMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    g_qtHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    g_qtHandler = qInstallMessageHandler(filterMessage);
    // Pages and pictures are drawn without a window; nothing needs a display unless one is named.
    if (corvane::needsOffscreenPlatform(QProcessEnvironment::systemEnvironment()))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // QtWebEngine asks for this before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Corvane"));
    // The engine's report of its graphics set-up says nothing to an operator.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));

    const corvane::ReportOutcome outcome = corvane::runReportCommand(
        QCoreApplication::arguments(), corvane::programFolder().path, corvane::exportPdf);
    std::fputs(outcome.out.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    std::fputs(outcome.err.toLocal8Bit().constData(), stderr);
    return outcome.exitStatus;
}
