#include "app/printing.h"

#include "app/screenfit.h"
#include "webengine/webengineloader.h"
#include "ground/filewrite.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSizeF>

namespace corvane {

namespace {

// Sheets are drawn from images of this resolution: sharp on paper, and small enough to render
// quickly.
constexpr double kRenderDpi = 300.0;

} // namespace

QString renderReportPdf(const QString &htmlPath, const QString &pdfPath)
{
    QString missing;
    WebEngine *engine = webEngine(&missing);
    if (!engine)
        return QStringLiteral("Cannot write %1: %2.").arg(pdfPath, missing);
    // What the operator types while the engine renders waits until it is done (exportPdf), so
    // that the document is of one computation; a file written meanwhile all the same is replaced
    // whole, so that the engine reads none half-rewritten.
    WholeFileWrites whole;
    return engine->exportPdf(htmlPath, pdfPath);
}

ReportPrinter::ReportPrinter(QWidget *parentWindow) : QObject(parentWindow), m_parent(parentWindow)
{}

ReportPrinter::~ReportPrinter() = default;

bool ReportPrinter::load(const QString &documentPath, const QString &pdfPath, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    QString missing;
    WebEngine *engine = webEngine(&missing);
    if (!engine)
        return fail(QStringLiteral("Cannot print: %1.").arg(missing));
    if (m_document)
        m_document->close();
    else
        m_document = engine->createPdfPages();
    const QString exported = renderReportPdf(documentPath, pdfPath);
    if (!exported.isEmpty())
        return fail(exported);
    if (!m_document->load(pdfPath))
        return fail(QStringLiteral("Cannot read %1 for printing.").arg(pdfPath));
    return true;
}

int ReportPrinter::pageCount() const
{
    return m_document ? m_document->pageCount() : 0;
}

bool ReportPrinter::print(QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    for (int page = 0; page < pageCount(); ++page) {
        if (page > 0 && !printer.newPage())
            return false;
        const QSizeF points = m_document->pagePointSize(page);
        const QSize pixels = (points * kRenderDpi / 72.0).toSize();
        QImage image = m_document->render(page, pixels);
        // The print preview keeps each sheet as a pixmap, which holds the picture premultiplied:
        // converted there, a copy of tens of megabytes per sheet is made; converted here, in place,
        // the same pixels cost next to nothing.
        if (painter.paintEngine()->type() == QPaintEngine::Picture)
            image.convertTo(QImage::Format_ARGB32_Premultiplied);
        const QRect target = painter.viewport();
        const QSize fitted = pixels.scaled(target.size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(target.topLeft(), fitted), image);
    }
    return painter.end();
}

void ReportPrinter::preview()
{
    QPrinter printer(QPrinter::HighResolution);
    if (WebEngine *engine = webEngine())
        printer.setPageLayout(engine->pageLayout());
    // The PDF's pages carry their own margins already.
    printer.setFullPage(true);
    QPrintPreviewDialog dialog(&printer, m_parent);
    dialog.setWindowTitle(QStringLiteral("Print Preview - Corvane"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *target) { print(*target); });
    fitToScreen(dialog, QSize(900, 1000));
    dialog.exec();
}

} // namespace corvane
