#include "webengine/pdfexport.h"

#include "ground/filewrite.h"
#include "webengine/reportrendering.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageSize>
#include <QUrl>
#include <QWebEnginePage>

#include <unistd.h>

namespace corvane {

PdfExport::PdfExport(QObject *parent) : QObject(parent)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        finish(QStringLiteral("Cannot write %1: the document took longer than %2 s to render")
                   .arg(m_pdfPath)
                   .arg(kTimeoutMs / 1000));
    });
}

PdfExport::~PdfExport()
{
    // A render still running reports to nobody.
    m_running = false;
    m_page.reset();
}

QPageLayout PdfExport::pageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

QString PdfExport::sandboxProblem()
{
    if (geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX") ||
        qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QLatin1String("--no-sandbox")))
        return {};
    return QStringLiteral("QtWebEngine, which renders the PDF, cannot start its sandbox for the "
                          "root user; run as an ordinary user");
}

void PdfExport::start(const QString &htmlPath, const QString &pdfPath)
{
    if (m_running) {
        Q_EMIT finished(QStringLiteral("Cannot write %1: an export is running").arg(pdfPath));
        return;
    }
    const QFileInfo html(htmlPath);
    if (!html.isFile() || !html.isReadable()) {
        Q_EMIT finished(QStringLiteral("Cannot read %1").arg(htmlPath));
        return;
    }
    // What would stop the PDF from being written is found out before the engine starts, with
    // the system's reason; the sandbox is named only when nothing else stands in the way.
    QString problem = writeProblem(pdfPath);
    if (problem.isEmpty() && !sandboxProblem().isEmpty())
        problem = QStringLiteral("Cannot write %1: %2").arg(pdfPath, sandboxProblem());
    if (!problem.isEmpty()) {
        Q_EMIT finished(problem);
        return;
    }

    m_running = true;
    m_pdfPath = pdfPath;
    // A page of an earlier export may be the sender of the signal that led here.
    if (m_page)
        m_page.release()->deleteLater();
    // The default profile keeps nothing on disk.
    m_page = std::make_unique<QWebEnginePage>();
    prepareReportPage(*m_page);
    connect(m_page.get(), &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (!m_running)
            return;
        if (!ok) {
            finish(QStringLiteral("Cannot write %1: the document %2 did not load")
                       .arg(m_pdfPath, m_page->url().toLocalFile()));
            return;
        }
        // The engine hands the PDF over and this program writes it, so that a failure is named
        // by the system's reason and a failed write leaves no file and an older PDF whole.
        m_page->printToPdf(
            [this](const QByteArray &pdf) {
                if (!m_running)
                    return;
                if (pdf.isEmpty())
                    finish(QStringLiteral("Cannot write %1: the document could not be rendered")
                               .arg(m_pdfPath));
                else
                    finish(replaceFile(m_pdfPath, pdf));
            },
            pageLayout());
    });
    connect(m_page.get(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus, int exitCode) {
                if (m_running)
                    finish(QStringLiteral("Cannot write %1: the page renderer stopped (exit "
                                          "code %2)")
                               .arg(m_pdfPath)
                               .arg(exitCode));
            });
    m_timeout.start(kTimeoutMs);
    m_page->load(QUrl::fromLocalFile(html.absoluteFilePath()));
}

void PdfExport::finish(const QString &error)
{
    m_timeout.stop();
    m_running = false;
    Q_EMIT finished(error);
}

QString exportPdf(const QString &htmlPath, const QString &pdfPath)
{
    PdfExport exporter;
    QEventLoop loop;
    bool done = false;
    QString result;
    QObject::connect(&exporter, &PdfExport::finished, &loop, [&](const QString &error) {
        done = true;
        result = error;
        loop.quit();
    });
    exporter.start(htmlPath, pdfPath);
    // What the operator types or clicks meanwhile waits until the document has been rendered, so
    // that every page and picture in it comes from one computation.
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return result;
}

} // namespace corvane
