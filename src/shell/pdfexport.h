#pragma once

// Renders a report document to PDF through QtWebEngine, the engine that shows the pages.
//
// Export PDF of the desktop program and corvane-report render the joined print document
// (shell/reportassembly.h) the same way: the document is loaded from its file into a page without
// a view and printed on A4 portrait paper, each page separator starting a new sheet. The PDF is
// written under a temporary name beside its target and renamed into place when it is complete, so a
// failed export leaves no file behind and an older PDF untouched. While an export runs, the
// operator may go on typing; the pages and pictures that computation writes meanwhile are then
// replaced whole (shell/filewrite.h), so that the engine reads no picture half-rewritten.
//
// QtWebEngine needs a QGuiApplication (or QApplication) created after
// Qt::AA_ShareOpenGLContexts was set. Its sandbox cannot start for the root user; the export then
// fails with a message saying so instead of starting the engine.

#include "shell/filewrite.h"

#include <QObject>
#include <QPageLayout>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

class QWebEnginePage;

namespace corvane {

class PdfExport : public QObject
{
    Q_OBJECT

public:
    explicit PdfExport(QObject *parent = nullptr);
    ~PdfExport() override;

    // Starts rendering the HTML file at htmlPath into pdfPath; finished() follows, also on
    // failure. One export at a time: a start while one runs fails at once.
    void start(const QString &htmlPath, const QString &pdfPath);
    bool isRunning() const { return m_running; }

    // A4 portrait with margins of 10 mm.
    static QPageLayout pageLayout();
    // Why QtWebEngine cannot run in this process (the root user without the sandbox turned off
    // by whoever started it), or the empty text.
    static QString sandboxProblem();

    // Longest time an export may take before it is given up.
    static constexpr int kTimeoutMs = 120000;

Q_SIGNALS:
    // error is empty when the PDF was written.
    void finished(const QString &error);

private:
    void finish(const QString &error);

    std::unique_ptr<QWebEnginePage> m_page;
    QTimer m_timeout;
    bool m_running = false;
    QString m_pdfPath;
    QString m_partPath;
    std::optional<WholeFileWrites> m_wholeFileWrites;
};

// Renders htmlPath into pdfPath and returns when done: the error, or the empty text.
QString exportPdf(const QString &htmlPath, const QString &pdfPath);

} // namespace corvane
