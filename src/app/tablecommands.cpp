#include "app/tablecommands.h"

#include "app/operatordialogs.h"
#include "app/tablestatus.h"
#include "app/tablewindows.h"
#include "editing/jobeditor.h"
#include "ground/maker.h"
#include "ground/programfolder.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

namespace corvane {

TableCommands::TableCommands(const QString &programFolder, BendTableSource &source,
                             const JobEditor &editor, const OperatorDialogs &dialogs,
                             TableStatus &status, QWidget *parentWindow)
    : QObject(parentWindow), m_programFolder(programFolder), m_source(source), m_editor(editor),
      m_dialogs(dialogs), m_status(status), m_parentWindow(parentWindow)
{}

void TableCommands::tableCommand()
{
    if (m_dialogs.ask(QStringLiteral("Open Bending Table in Excel"), tableQuestion(m_programFolder),
                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(bendTablePath(m_programFolder)));
}

void TableCommands::tableCheckCommand()
{
    TableCheckWindow window(m_source, m_parentWindow);
    m_status.refresh();
    m_dialogs.showTableWindow(window);
}

void TableCommands::testBendCommand()
{
    TestBendWindow window(m_source, m_editor.job(), m_parentWindow);
    m_dialogs.showTableWindow(window);
}

QString TableCommands::tableQuestion(const QString &programFolder)
{
    const QString br = QStringLiteral("\r\n");
    return QStringLiteral("IMPORTANT INSTRUCTIONS : ") + br + br +
           QStringLiteral("(1) Bend Table is in .xls format (NOT in .xlsx). Once you finish "
                          "editing, please save the file as ") +
           programFolder + QStringLiteral("/BendTbl.xls") + br + br +
           QStringLiteral("(2) Do not modify the column headers.") + br + br +
           QStringLiteral("(3) Close the file once you finish. Keeping it open may adversely "
                          "affect ") +
           maker::kProduct + QStringLiteral(" performance.") + br + br +
           QStringLiteral("Edit now?");
}

} // namespace corvane
