#include "shell/pdfexport.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageSize>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <cerrno>
#include <cstdio>
#include <cstring>
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
    if (m_running)
        QFile::remove(m_partPath);
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
    const QString problem = sandboxProblem();
    if (!problem.isEmpty()) {
        Q_EMIT finished(QStringLiteral("Cannot write %1: %2").arg(pdfPath, problem));
        return;
    }
    const QFileInfo html(htmlPath);
    if (!html.isFile() || !html.isReadable()) {
        Q_EMIT finished(QStringLiteral("Cannot read %1").arg(htmlPath));
        return;
    }

    m_running = true;
    m_wholeFileWrites.emplace();
    m_pdfPath = pdfPath;
    m_partPath = pdfPath + QStringLiteral(".part");
    // A page of an earlier export may be the sender of the signal that led here.
    if (m_page)
        m_page.release()->deleteLater();
    // The default profile keeps nothing on disk.
    m_page = std::make_unique<QWebEnginePage>();
    // Rendered as the preview shows it: no script, and a sans-serif face where the pages' own
    // font is missing.
    QWebEngineSettings *settings = m_page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setFontFamily(QWebEngineSettings::StandardFont,
                            settings->fontFamily(QWebEngineSettings::SansSerifFont));
    connect(m_page.get(), &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (!m_running)
            return;
        if (!ok) {
            finish(QStringLiteral("Cannot write %1: the document %2 did not load")
                       .arg(m_pdfPath, m_page->url().toLocalFile()));
            return;
        }
        m_page->printToPdf(m_partPath, pageLayout());
    });
    connect(m_page.get(), &QWebEnginePage::pdfPrintingFinished, this,
            [this](const QString &, bool ok) {
                if (!m_running)
                    return;
                if (!ok) {
                    finish(QStringLiteral("Cannot write %1").arg(m_pdfPath));
                    return;
                }
                if (std::rename(QFile::encodeName(m_partPath).constData(),
                                QFile::encodeName(m_pdfPath).constData()) != 0) {
                    finish(QStringLiteral("Cannot write %1: %2")
                               .arg(m_pdfPath, QString::fromLocal8Bit(std::strerror(errno))));
                    return;
                }
                finish({});
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
    m_wholeFileWrites.reset();
    if (!error.isEmpty())
        QFile::remove(m_partPath);
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
    if (!done)
        loop.exec();
    return result;
}

} // namespace corvane
