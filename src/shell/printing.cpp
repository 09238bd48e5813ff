#include "shell/printing.h"

#include "shell/pdfexport.h"

#include <QPainter>
#include <QPdfDocument>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace corvane {

namespace {

// Sheets are drawn from images of this resolution: sharp on paper, and small enough to render
// quickly.
constexpr double kRenderDpi = 300.0;

} // namespace

ReportPrinter::ReportPrinter(QWidget *parentWindow)
    : QObject(parentWindow), m_parent(parentWindow), m_document(std::make_unique<QPdfDocument>())
{}

ReportPrinter::~ReportPrinter() = default;

bool ReportPrinter::load(const QString &documentPath, const QString &pdfPath, QString *error)
{
    m_document->close();
    const QString exported = exportPdf(documentPath, pdfPath);
    if (!exported.isEmpty()) {
        if (error)
            *error = exported;
        return false;
    }
    if (m_document->load(pdfPath) != QPdfDocument::Error::None) {
        if (error)
            *error = QStringLiteral("Cannot read %1 for printing.").arg(pdfPath);
        return false;
    }
    return true;
}

int ReportPrinter::pageCount() const
{
    return m_document->pageCount();
}

bool ReportPrinter::print(QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    for (int page = 0; page < m_document->pageCount(); ++page) {
        if (page > 0 && !printer.newPage())
            return false;
        const QSizeF points = m_document->pagePointSize(page);
        const QSize pixels = (points * kRenderDpi / 72.0).toSize();
        const QImage image = m_document->render(page, pixels);
        const QRect target = painter.viewport();
        const QSize fitted = pixels.scaled(target.size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(target.topLeft(), fitted), image);
    }
    return painter.end();
}

void ReportPrinter::preview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(PdfExport::pageLayout());
    // The PDF's pages carry their own margins already.
    printer.setFullPage(true);
    QPrintPreviewDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(QStringLiteral("Print Preview - Corvane"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *target) { print(*target); });
    dialog.resize(900, 1000);
    dialog.exec();
}

} // namespace corvane
