#include "shell/printing.h"

#include "shell/pdfexport.h"
#include "shell/previewpane.h"

#include <QEventLoop>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>
#include <QWebEngineView>

namespace corvane {

namespace {

constexpr int kLoadTimeoutMs = 60000;

} // namespace

ReportPrinter::ReportPrinter(QWidget *parentWindow)
    : QObject(parentWindow), m_parent(parentWindow), m_pane(new PreviewPane(parentWindow))
{
    m_pane->hide();
}

ReportPrinter::~ReportPrinter() = default;

bool ReportPrinter::load(const QString &documentPath, QString *error)
{
    m_pane->start();
    const QUrl url = QUrl::fromLocalFile(documentPath);
    QEventLoop loop;
    bool ok = false;
    bool done = false;
    const auto connection =
        connect(m_pane, &PreviewPane::pageShown, &loop, [&](const QUrl &shown, bool loaded) {
            if (shown != url)
                return;
            ok = loaded;
            done = true;
            loop.quit();
        });
    QTimer::singleShot(kLoadTimeoutMs, &loop, &QEventLoop::quit);
    m_pane->showPage(url);
    if (!done)
        loop.exec();
    disconnect(connection);
    if (!ok && error)
        *error = QStringLiteral("Cannot show %1 for printing.").arg(documentPath);
    return ok;
}

bool ReportPrinter::print(QPrinter &printer)
{
    QWebEngineView *view = m_pane->view();
    if (!view)
        return false;
    QEventLoop loop;
    bool ok = false;
    const auto connection = connect(view, &QWebEngineView::printFinished, &loop, [&](bool success) {
        ok = success;
        loop.quit();
    });
    view->print(&printer);
    loop.exec();
    disconnect(connection);
    return ok;
}

void ReportPrinter::preview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(PdfExport::pageLayout());
    QPrintPreviewDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(QStringLiteral("Print Preview - Corvane"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *target) { print(*target); });
    dialog.resize(900, 1000);
    dialog.exec();
}

} // namespace corvane
