#pragma once

// Printing the report: the joined document of every section in use (report/reportassembly.h)
// is rendered to PDF by the same engine and page layout as Export PDF (webengine/pdfexport.h,
// through webengine/webengine.h), and the pages of that PDF are what the print preview shows
// and the printer gets. The preview pane of the main window is not used for it and keeps showing
// the current section.

#include <QObject>
#include <QString>

#include <memory>

class QPrinter;
class QWidget;

namespace corvane {

class PdfPages;

// Renders the joined document at htmlPath into a PDF at pdfPath through the web engine and
// returns when done: the error, or the empty text. Print and Export PDF both render so.
QString renderReportPdf(const QString &htmlPath, const QString &pdfPath);

class ReportPrinter : public QObject
{
    Q_OBJECT

public:
    explicit ReportPrinter(QWidget *parentWindow);
    ~ReportPrinter() override;

    // Renders the joined document at documentPath into pdfPath and loads it; false, with the
    // reason, when that fails.
    bool load(const QString &documentPath, const QString &pdfPath, QString *error);
    int pageCount() const;
    // Opens the print preview of the loaded document, modal to the parent window.
    void preview();
    // Prints the loaded document on printer, a page of the document on each sheet.
    bool print(QPrinter &printer);

private:
    QWidget *m_parent;
    std::unique_ptr<PdfPages> m_document; // made at the first load
};

} // namespace corvane
