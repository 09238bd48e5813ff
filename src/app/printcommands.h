#pragma once

// Print, Export PDF and Export DXF: the joined report of every section in use
// (report/reportassembly.h), rendered to PDF by the web engine, then shown in the print preview or
// written where the operator chose; or the flat blank of each section in use as a DXF drawing for
// the cutting machine (report/flatblanks.h).
//
// While one of them works, the busy pointer shows and the toolbar is blocked, so that neither
// starts again before it ends; Print keeps the toolbar blocked while its preview is open. Each
// section in use is shown in turn, which computes its page; the section shown before is shown
// again afterwards.

#include <QObject>
#include <QString>

class QWidget;

namespace corvane {

class DocumentCommands;
class JobEditor;
class ReportPrinter;
struct OperatorDialogs;
struct ReportAssembly;

class PrintCommands : public QObject
{
    Q_OBJECT

public:
    // toolbar is blocked while a command works; the report's files go into tempFolder.
    PrintCommands(JobEditor &editor, const DocumentCommands &documents,
                  const OperatorDialogs &dialogs, QWidget &toolbar, const QString &tempFolder,
                  QWidget *parentWindow);

    void printCommand();
    // Writes the report to a PDF file the operator picks, offered the job's proposed name.
    void exportPdfCommand();
    // Writes the flat blank of every section in use that is ok and has a width into a folder the
    // operator picks, as NAME-N.dxf; the sections that get none are named in one message.
    void exportDxfCommand();

Q_SIGNALS:
    // What the first status panel is to say: the PDF or the DXF files written.
    void statusMessage(const QString &text);

private:
    ReportAssembly printSections();

    JobEditor &m_editor;
    const DocumentCommands &m_documents;
    const OperatorDialogs &m_dialogs;
    QWidget &m_toolbar;
    QString m_tempFolder;
    QWidget *m_parentWindow = nullptr;
    ReportPrinter *m_printer = nullptr; // made at the first Print
};

} // namespace corvane
