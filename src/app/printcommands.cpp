#include "app/printcommands.h"

#include "app/busycursor.h"
#include "app/documentcommands.h"
#include "app/operatordialogs.h"
#include "app/printing.h"
#include "editing/jobeditor.h"
#include "report/reportassembly.h"

#include <QDir>
#include <QWidget>

namespace corvane {

PrintCommands::PrintCommands(JobEditor &editor, const DocumentCommands &documents,
                             const OperatorDialogs &dialogs, QWidget &toolbar,
                             const QString &tempFolder, QWidget *parentWindow)
    : QObject(parentWindow), m_editor(editor), m_documents(documents), m_dialogs(dialogs),
      m_toolbar(toolbar), m_tempFolder(tempFolder), m_parentWindow(parentWindow)
{}

void PrintCommands::printCommand()
{
    BusyCursor busy(&m_toolbar);
    QString error;
    const ReportAssembly report = printSections();
    if (!m_printer)
        m_printer = new ReportPrinter(m_parentWindow);
    if (report.ok())
        m_printer->load(report.path, QDir(m_tempFolder).filePath(QStringLiteral("wball.pdf")),
                        &error);
    else
        error = report.error;
    busy.restorePointer();
    if (error.isEmpty())
        m_dialogs.showPrintPreview(*m_printer);
    else
        m_documents.showError(error);
}

ReportAssembly PrintCommands::printSections()
{
    // When no section was shown before, the last one printed stays.
    const int before = m_editor.activeSectionIndex();
    const ReportAssembly report = assembleReport(m_editor.job(), m_tempFolder, [this](int n) {
        m_editor.showSection(n);
        return m_editor.lastRun(n);
    });
    if (before != 0)
        m_editor.showSection(before);
    return report;
}

void PrintCommands::exportPdfCommand()
{
    const QString path = m_dialogs.choosePdfFile(m_documents.proposedPath(QStringLiteral(".pdf")));
    if (path.isEmpty())
        return;
    QString error;
    {
        BusyCursor busy(&m_toolbar);
        const ReportAssembly report = printSections();
        error = report.ok() ? renderReportPdf(report.path, path) : report.error;
    }
    if (!error.isEmpty())
        m_documents.showError(error);
    else
        Q_EMIT statusMessage(tr("Exported %1").arg(QDir::toNativeSeparators(path)));
}

} // namespace corvane
