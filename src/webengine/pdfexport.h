#pragma once

// Renders a report document to PDF through QtWebEngine, the engine that shows the pages.
//
// Print and Export PDF of the desktop program (through the web engine module) and corvane-report
// render the joined print document the same way: the document is loaded from its file into a page
// without a view and printed on A4 portrait paper, each page separator starting a new sheet. What
// would keep the PDF from being written (a folder closed to the operator, a read-only file system
// or file) is found before the engine starts. The engine hands the PDF over as bytes, which are
// written under a temporary name beside the target and renamed into place, so a failed export
// leaves no file behind and an older PDF untouched, and says why with the system's reason. A
// program that goes on writing pages while an export runs (the desktop program, as the operator
// types) makes its writes whole meanwhile (WholeFileWrites in ground/filewrite.h).
//
// QtWebEngine needs a QGuiApplication (or QApplication) created after
// Qt::AA_ShareOpenGLContexts was set. Its sandbox cannot start for the root user; the export then
// fails with a message saying so instead of starting the engine, unless another problem stands
// in the way first.

#include <QObject>
#include <QPageLayout>
#include <QString>
#include <QTimer>

#include <memory>

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
};

// Renders htmlPath into pdfPath and returns when done: the error, or the empty text.
QString exportPdf(const QString &htmlPath, const QString &pdfPath);

} // namespace corvane
