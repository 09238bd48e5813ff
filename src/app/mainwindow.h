#pragma once

// The main window: the toolbar and its commands, the display options, the input windows on the
// left, the preview of the shown section's page on the right, and the status bar.
//
// It owns the editing model of the job (editing/jobeditor.h) and the bend table source, and
// forwards every command to them; the input windows bind to the same model. The window paints
// itself first: the section windows are made, and the web engine of the preview
// (webengine/webengine.h) is loaded and started, only after that. The engine starts while the
// About window of the first activation is shown; New runs once that is closed.

#include "bendtable/bendtablesource.h"
#include "editing/jobeditor.h"
#include "ground/programfolder.h"
#include "report/reportassembly.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

namespace corvane {

class CommonWindow;
class PreviewPane;
class ReportPrinter;
class SectionWindow;

class MainWindow : public QMainWindow
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

    // The commands of the toolbar.
    void newCommand();
    void openCommand();
    // False when the operator cancelled or the file could not be written.
    bool saveCommand();
    void tableCommand();
    // The windows beside the Table command: the bend table's check and the test bend.
    void tableCheckCommand();
    void testBendCommand();
    void printCommand();
    // Writes the joined report of every section in use to a PDF file the operator picks.
    void exportPdfCommand();
    void aboutCommand();
    // Opens a job file without the dialog (recent files).
    void openFile(const QString &path);

    // The last eight job files opened or saved, newest first.
    QStringList recentFiles() const;

    // The question of the Table command.
    static QString tableQuestion(const QString &programFolder);
    // The text of the second status panel; findings is how many the table's check has.
    static QString tableStatus(const QString &version, const QString &error, int findings = 0);

    // Ends the program after a long run; a job with unsaved changes is first saved to a recovery
    // file in the temp folder. Returns the recovery file's path, or the empty text.
    QString timedEnd();
    // Recovery files left by a timed end, newest first.
    static QStringList recoveryFiles(const QString &tempFolder);

    // Interactive questions and the file dialog; tests replace them. ask returns the button
    // pressed; Escape on a question of Yes and No gives Cancel. chooseFile returns the chosen
    // path, or the empty text when the operator cancelled.
    std::function<int(const QString &title, const QString &text, int buttons)> ask;
    std::function<QString(bool save, const QString &proposed)> chooseFile;
    // The PDF file to export to, or the empty text when the operator cancelled.
    std::function<QString(const QString &proposed)> choosePdfFile;
    // Opens the print preview of the printer; tests replace it.
    std::function<void(ReportPrinter &printer)> showPrintPreview;
    // Shows a window of the Table command until it is closed; tests replace it.
    std::function<void(QDialog &window)> showTableWindow;

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
    void layoutWindows();
    void showShownSection(int n);
    bool maybeSave();
    void saveCommandSlot() { saveCommand(); }
    enum class SaveOutcome
    {
        Saved,
        Cancelled, // the operator cancelled the dialog
        Failed     // the file could not be written; the operator was told why
    };
    SaveOutcome save();
    // The Attention question about unsaved changes before New or Open, and the rest of New. False
    // when the command must stop: the question cancelled (Escape), or a Save that failed.
    bool offerToSave();
    void startNewJob();
    void readIntoNewJob(const QString &path);
    // The joined report of every section in use, each shown in turn.
    ReportAssembly printSections();
    void setTitleFrom(const QString &path);
    void remember(const QString &path);
    void updateRecentMenu();
    void showError(const QString &message);
    void firstActivation();
    void updateTableStatus();
    void updateNoteStatus();

    Options m_options;
    BendTableSource m_tableSource;
    std::unique_ptr<JobEditor> m_editor;
    QToolBar *m_toolbar = nullptr;
    QComboBox *m_unit = nullptr;
    QCheckBox *m_detailed = nullptr;
    QMdiArea *m_mdi = nullptr;
    PreviewPane *m_preview = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_tableStatus = nullptr;
    CommonWindow *m_common = nullptr;
    QMdiSubWindow *m_commonFrame = nullptr;
    std::array<SectionWindow *, kSectionCount> m_sections{};
    std::array<QMdiSubWindow *, kSectionCount> m_sectionFrames{};
    QTimer *m_endTimer = nullptr;
    QMenu *m_recentMenu = nullptr;
    // The table whose check was counted last, and its findings: counted once per table read.
    std::shared_ptr<const BendTable> m_checkedTable;
    int m_tableFindings = 0;
    ReportPrinter *m_printer = nullptr;
    int m_endTicks = 0;
    bool m_activated = false;
    bool m_painted = false;
    QMetaObject::Connection m_focusWatch;
    QString m_noteShown;  // the reading note that the first status panel shows, if any
    QString m_dialogFile; // the file name the dialog offers next
    bool m_closing = false;
    bool m_laying = false; // the layout is placing the input windows
};

} // namespace corvane
