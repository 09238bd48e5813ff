#pragma once

// The Table command and the two beside it on its arrow: the bend table workbook opened in the
// spreadsheet program after a question of instructions, the table's check, and the test bend
// (tablewindows.h). The windows are shown through the OperatorDialogs.

#include <QObject>
#include <QString>

class QWidget;

namespace corvane {

class BendTableSource;
class JobEditor;
class TableStatus;
struct OperatorDialogs;

class TableCommands : public QObject
{
    Q_OBJECT

public:
    // Everything given must outlive the commands; status is refreshed by the check.
    TableCommands(const QString &programFolder, BendTableSource &source, const JobEditor &editor,
                  const OperatorDialogs &dialogs, TableStatus &status, QWidget *parentWindow);

    void tableCommand();
    void tableCheckCommand();
    // Opens on the job's material and thickness.
    void testBendCommand();

    // The question of the Table command.
    static QString tableQuestion(const QString &programFolder);

private:
    QString m_programFolder;
    BendTableSource &m_source;
    const JobEditor &m_editor;
    const OperatorDialogs &m_dialogs;
    TableStatus &m_status;
    QWidget *m_parentWindow = nullptr;
};

} // namespace corvane
