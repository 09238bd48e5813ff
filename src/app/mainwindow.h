#pragma once

// The main window: the toolbar and its commands, the display options, the input windows on the
// left, the preview of the shown section's page on the right, and the status bar.
//
// It owns the editing model of the job (editing/jobeditor.h) and the bend table source, and
// forwards every command to them; the input windows bind to the same model. The window paints
// itself first: the section windows are made, and the web engine of the preview
// (webengine/webengine.h) is loaded and started, only after that. The engine starts while the
// About window of the first activation is shown; New runs once that is closed.
//
// The commands on the job's file go to DocumentCommands, Print and Export PDF to PrintCommands,
// the Table command and its arrow to TableCommands; the second status panel is a TableStatus,
// and the end after a long run is TimedEnd's.

#include "app/documentcommands.h"
#include "app/operatordialogs.h"
#include "app/printcommands.h"
#include "app/recoverykeeper.h"
#include "app/tablecommands.h"
#include "bendtable/bendtablesource.h"
#include "editing/jobeditor.h"
#include "ground/programfolder.h"

#include <QMainWindow>

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;

namespace corvane {

class CommonWindow;
class PreviewPane;
class RecentFilesMenu;
class SectionWindow;
class RecoveryKeeper;
class TableStatus;
class TimedEnd;
class UndoCommands;

// The questions and dialogs it asks through (OperatorDialogs) are the tests' to replace.
class MainWindow : public QMainWindow, public OperatorDialogs
{
    Q_OBJECT

public:
    struct Options
    {
        QString programFolder;
        // Skip the About window of the first activation (tests).
        bool aboutOnFirstActivation = true;
        // A job file to open once the window is up, as Open would (the program's command line).
        QString openAtStart;
        // Where the copy behind the operator's work is kept.
        QString recoveryFolder = RecoveryFolder::standardPath();
    };

    explicit MainWindow(Options options, QWidget *parent = nullptr);
    ~MainWindow() override;

    JobEditor &editor() { return *m_editor; }
    PreviewPane &preview() { return *m_preview; }
    CommonWindow &commonWindow() { return *m_common; }
    // Made when first needed, which is after the first paint when the window is shown.
    SectionWindow &sectionWindow(int n);
    QComboBox &unitBox() { return *m_unit; }
    QCheckBox &detailBox() { return *m_detailed; }
    QString statusText() const;
    QString tableStatusText() const;
    QString tempFolder() const;

    // The commands of the toolbar, carried out by the command classes.
    void newCommand() { m_documents->newCommand(); }
    void openCommand() { m_documents->openCommand(); }
    // False when the operator cancelled or the file could not be written.
    bool saveCommand() { return m_documents->saveCommand(); }
    void tableCommand() { m_tables->tableCommand(); }
    // The windows beside the Table command: the bend table's check and the test bend.
    void tableCheckCommand() { m_tables->tableCheckCommand(); }
    void testBendCommand() { m_tables->testBendCommand(); }
    // Print and the exports write the recovery copy first: rendering is where a crash is likeliest.
    void printCommand()
    {
        m_recovery->writeNow();
        m_printing->printCommand();
    }
    // Writes the joined report of every section in use to a PDF file the operator picks.
    void exportPdfCommand()
    {
        m_recovery->writeNow();
        m_printing->exportPdfCommand();
    }
    // Writes the flat blank of every section in use as a DXF file into a folder the operator
    // picks.
    void exportDxfCommand()
    {
        m_recovery->writeNow();
        m_printing->exportDxfCommand();
    }
    UndoCommands &undoCommands() { return *m_undo; }
    RecoveryKeeper &recovery() { return *m_recovery; }
    void aboutCommand();

    // Ends the program after a long run (timedend.h), the recovery copy written and kept for the
    // next start; returns its path, or the empty text when there were no unsaved changes.
    QString timedEnd();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createActions();
    void createStrip();
    void createWindows();
    void createSectionWindows();
    void connectEditor();
    void layoutWindows();
    void showShownSection(int n);
    void firstActivation();
    void updateNoteStatus();

    Options m_options;
    BendTableSource m_tableSource;
    std::unique_ptr<JobEditor> m_editor;
    DocumentCommands *m_documents = nullptr;
    PrintCommands *m_printing = nullptr;
    TableCommands *m_tables = nullptr;
    TimedEnd *m_timedEnd = nullptr;
    UndoCommands *m_undo = nullptr;
    RecoveryKeeper *m_recovery = nullptr;
    QToolBar *m_toolbar = nullptr;
    RecentFilesMenu *m_recentMenu = nullptr;
    QComboBox *m_unit = nullptr;
    QCheckBox *m_detailed = nullptr;
    QMdiArea *m_mdi = nullptr;
    PreviewPane *m_preview = nullptr;
    QLabel *m_status = nullptr;
    TableStatus *m_tableStatus = nullptr;
    CommonWindow *m_common = nullptr;
    QMdiSubWindow *m_commonFrame = nullptr;
    std::array<SectionWindow *, kSectionCount> m_sections{};
    std::array<QMdiSubWindow *, kSectionCount> m_sectionFrames{};
    bool m_activated = false;
    bool m_painted = false;
    QMetaObject::Connection m_focusWatch;
    QString m_noteShown; // the reading note that the first status panel shows, if any
    bool m_closing = false;
    bool m_laying = false; // the layout is placing the input windows
};

} // namespace corvane
