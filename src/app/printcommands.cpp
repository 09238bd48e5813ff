#include "app/printcommands.h"

#include "app/busycursor.h"
#include "app/documentcommands.h"
#include "app/operatordialogs.h"
#include "app/printing.h"
#include "editing/jobeditor.h"
#include "report/flatblanks.h"
#include "report/reportassembly.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace corvane {

namespace {

// What the operator can do about a section that got no flat blank.
QString whatToDo(const SkippedBlank &skipped)
{
    if (skipped.noWidth)
        return skipped.why + QStringLiteral(": enter the blank's width in its Width mm box");
    if (skipped.why == QLatin1String("vee error"))
        return QStringLiteral("a vee is too wide for a flange next to its bend: choose one that "
                              "fits");
    if (skipped.why == QLatin1String("bend not in table"))
        return QStringLiteral("the bend table has no single row for a bend's material, "
                              "thickness and vee: mend the table (Table, Check Bend Table)");
    if (skipped.why == QLatin1String("no material or thickness"))
        return QStringLiteral("choose the job's material and thickness");
    return QStringLiteral("a flange length is too large or too small to compute with: "
                          "correct it");
}

} // namespace

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

void PrintCommands::exportDxfCommand()
{
    const QString folder = m_dialogs.chooseFolder(QFileInfo(m_documents.proposedPath()).path());
    if (folder.isEmpty())
        return;
    FlatBlanks blanks;
    {
        BusyCursor busy(&m_toolbar);
        const ReportAssembly report = printSections();
        if (!report.ok())
            blanks.error = report.error;
        else
            blanks = writeFlatBlanks(folder, m_documents.jobName(), m_editor.job(), report.sections,
                                     report.calculations, std::nullopt);
    }
    QStringList lines;
    if (!blanks.error.isEmpty())
        lines << blanks.error;
    else if (blanks.written.isEmpty() && blanks.skipped.isEmpty())
        lines << tr("No section is in use: there is no flat blank to export.");
    for (const SkippedBlank &skipped : blanks.skipped)
        lines << tr("Section %1 was not exported: %2.").arg(skipped.section).arg(whatToDo(skipped));
    if (!blanks.written.isEmpty())
        Q_EMIT statusMessage(tr("Exported %1 DXF files to %2")
                                 .arg(blanks.written.size())
                                 .arg(QDir::toNativeSeparators(folder)));
    if (!lines.isEmpty())
        m_documents.showError(lines.join(QStringLiteral("\n\n")));
}

} // namespace corvane
