#include "shell/mainwindow.h"

#include "input/commonwindow.h"
#include "input/sectionwindow.h"
#include "shell/aboutwindow.h"
#include "shell/previewpane.h"
#include "shell/printing.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolBar>

#include <gtest/gtest.h>

namespace corvane {
namespace {

// A program folder with the default bend table and logo, and a main window on it whose questions
// are answered by the test.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(CORVANE_SOURCE_DIR "/data/BendTbl.xls"),
                                folder.filePath("BendTbl.xls")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(CORVANE_SOURCE_DIR "/data/logo.png"),
                                folder.filePath("logo.png")));
    }

    MainWindow &window()
    {
        if (!m_window) {
            m_window = std::make_unique<MainWindow>(MainWindow::Options{folder.path(), false});
            m_window->ask = [this](const QString &title, const QString &text, int) {
                questions << title + QStringLiteral(": ") + text;
                return answers.isEmpty() ? int(QMessageBox::No) : answers.takeFirst();
            };
            m_window->chooseFile = [this](bool, const QString &proposed) {
                proposals << proposed;
                return files.isEmpty() ? QString() : files.takeFirst();
            };
            m_window->choosePdfFile = [this](const QString &proposed) {
                proposals << proposed;
                return files.isEmpty() ? QString() : files.takeFirst();
            };
            m_window->showPrintPreview = [this](ReportPrinter &printer) {
                ++previews;
                // The sheets the preview dialog would show.
                QPrinter sheets(QPrinter::HighResolution);
                QPrintPreviewWidget preview(&sheets);
                QObject::connect(&preview, &QPrintPreviewWidget::paintRequested,
                                 [&printer](QPrinter *target) { printer.print(*target); });
                preview.updatePreview();
                previewSheets = preview.pageCount();
                if (!printFile.isEmpty()) {
                    QPrinter pdf(QPrinter::HighResolution);
                    pdf.setOutputFormat(QPrinter::PdfFormat);
                    pdf.setOutputFileName(printFile);
                    printed = printer.print(pdf);
                }
            };
        }
        return *m_window;
    }
    QByteArray page(int n) const
    {
        return test::readBytes(folder.filePath(QStringLiteral("temp/wb%1.htm").arg(n)));
    }

    QTemporaryDir folder;
    QStringList questions;
    QList<int> answers;
    QStringList files;
    QStringList proposals;
    int previews = 0;
    int previewSheets = -1;
    QString printFile;
    bool printed = false;

    // Sections 1 and 3 in use, of material MS 2 mm, with a customer.
    void fillTwoSections()
    {
        JobEditor &e = window().editor();
        e.newJob();
        e.setCommonText(0, "Acme");
        e.chooseMaterial(e.job().material().items().indexOf("MS"));
        e.chooseThickness(e.job().thickness().items().indexOf("2"));
        for (int n : {1, 3}) {
            e.setOutside(n, 0, "50");
            e.setOutside(n, 1, n == 1 ? "100" : "80");
            e.setAngle(n, 0, "90");
        }
        e.showSection(2);
    }

private:
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(MainWindowTest, LoadStepsPrepareTheWindow)
{
    // An existing temp folder keeps its files.
    ASSERT_TRUE(QDir().mkpath(folder.filePath("temp")));
    ASSERT_TRUE(test::writeBytes(folder.filePath("temp/keep.txt"), "x"));
    MainWindow &w = window();
    EXPECT_EQ(w.windowTitle(), "Corvane");
    EXPECT_EQ(w.unitBox().currentText(), "View in mm");
    EXPECT_FALSE(w.detailBox().isChecked());
    EXPECT_EQ(w.detailBox().text(), "Show K factor, OSSB, BA, BD");
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("temp/keep.txt")));
    EXPECT_TRUE(
        w.tableStatusText().startsWith(QStringLiteral("Corvane \u00AE 6.0.0, BendTbl.xls ")));
    EXPECT_GT(w.tableStatusText().size(),
              QStringLiteral("Corvane \u00AE 6.0.0, BendTbl.xls ").size());
    EXPECT_EQ(w.editor().activeSectionIndex(), 0);

    QStringList buttons;
    for (QAction *action : w.findChild<QToolBar *>(QStringLiteral("TB"))->actions()) {
        if (!action->text().isEmpty() && !action->isSeparator())
            buttons << action->text();
    }
    EXPECT_EQ(buttons.mid(0, 7),
              (QStringList{"New", "Open", "Save", "Table", "Print", "About", "Export PDF"}));
}

TEST_F(MainWindowTest, NewShowsSectionOneWithItsPage)
{
    MainWindow &w = window();
    w.show();
    w.newCommand();
    EXPECT_EQ(w.editor().activeSectionIndex(), 1);
    EXPECT_TRUE(w.sectionWindow(1).isVisible());
    EXPECT_FALSE(w.sectionWindow(2).isVisible());
    EXPECT_FALSE(page(1).isEmpty());
    EXPECT_EQ(w.editor().job().material().items(), (QStringList{"AL5052", "MS", "SS304"}));
}

TEST_F(MainWindowTest, UnitAndDetailOptionsRecomputeTheShownSection)
{
    MainWindow &w = window();
    w.newCommand();
    JobEditor &e = w.editor();
    e.chooseMaterial(e.job().material().items().indexOf("MS"));
    e.chooseThickness(e.job().thickness().items().indexOf("2"));
    e.setOutside(1, 0, "50");
    e.setOutside(1, 1, "100");
    e.setAngle(1, 0, "90");
    e.markSaved();
    ASSERT_TRUE(page(1).contains("Unfolded Length mm"));

    Q_EMIT w.unitBox().activated(2);
    EXPECT_TRUE(page(1).contains("Unfolded Length in"));
    EXPECT_TRUE(page(1).contains("Thickness : <b>1/16 in</b>"));
    w.detailBox().setChecked(true);
    EXPECT_TRUE(page(1).contains("colspan='9'"));
    // A typed text that is no unit leaves lengths without a unit.
    w.unitBox().setEditText(QStringLiteral("View in feet"));
    EXPECT_EQ(e.unit(), -1);
    EXPECT_TRUE(page(1).contains("Unfolded Length </th>"));
    EXPECT_FALSE(e.job().isChanged());
}

TEST_F(MainWindowTest, UnreadableBendTableIsReportedInTheStatusBar)
{
    ASSERT_TRUE(test::writeBytes(folder.filePath("BendTbl.xls"), "not a workbook"));
    MainWindow &w = window();
    EXPECT_TRUE(w.tableStatusText().startsWith(QStringLiteral("Corvane \u00AE 6.0.0, ")));
    EXPECT_TRUE(w.tableStatusText().contains(folder.filePath("BendTbl.xls")))
        << w.tableStatusText().toStdString();
    w.newCommand();
    EXPECT_TRUE(w.editor().job().material().items().isEmpty());
}

TEST_F(MainWindowTest, TableQuestionNamesTheWorkbookAndNoStopsThere)
{
    EXPECT_EQ(MainWindow::tableQuestion(QStringLiteral("/opt/corvane")),
              "IMPORTANT INSTRUCTIONS : \r\n\r\n(1) Bend Table is in .xls format (NOT in .xlsx). "
              "Once you finish editing, please save the file as /opt/corvane/BendTbl.xls\r\n\r\n"
              "(2) Do not modify the column headers.\r\n\r\n(3) Close the file once you finish. "
              "Keeping it open may adversely affect Corvane performance.\r\n\r\nEdit now?");
    MainWindow &w = window();
    answers << QMessageBox::No;
    w.tableCommand();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith("Open Bending Table in Excel: IMPORTANT INSTRUCTIONS"));
}

TEST_F(MainWindowTest, AboutTextNamesTheVersionAndTheMaker)
{
    const QStringList lines = AboutWindow::informationText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[0], "Corvane version 6.0.0  (Sheet Metal Bending Software)");
    EXPECT_EQ(lines[1], "");
    EXPECT_TRUE(lines[2].startsWith("Developed and Marketed by: "));
    EXPECT_TRUE(lines[6].startsWith("Website: "));
    EXPECT_EQ(lines[7], QString(70, u'_'));
    AboutWindow about;
    EXPECT_EQ(about.windowTitle(), "About Corvane");
}

TEST_F(MainWindowTest, ClosingWithUnsavedChangesAsksFirst)
{
    MainWindow &w = window();
    w.show();
    w.newCommand();
    w.editor().setCommonText(0, "Acme");
    answers << QMessageBox::Cancel;
    EXPECT_FALSE(w.close());
    EXPECT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith(
        "Attention!: Do you want to save changes you have made to this file?"));
    answers << QMessageBox::Yes; // Save, then the dialog is cancelled: the window stays
    EXPECT_FALSE(w.close());
    answers << QMessageBox::No;
    EXPECT_TRUE(w.close());
}

TEST_F(MainWindowTest, TimedEndSavesUnsavedWorkAsARecoveryFile)
{
    MainWindow &w = window();
    w.newCommand();
    w.editor().setCommonText(0, "Acme");
    w.editor().setOutside(1, 0, "75");
    const QString saved = w.timedEnd();
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_TRUE(QFileInfo(saved).fileName().startsWith("recovered-"));
    EXPECT_EQ(MainWindow::recoveryFiles(w.tempFolder()), QStringList{saved});
    const JobFileReadResult read = readJobFile(saved);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.content.common[0], "Acme");
    EXPECT_EQ(read.content.sections[0].outside[0], "75");
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(MainWindowTest, NewAsksToSaveAndACancelledSaveDiscardsTheChanges)
{
    MainWindow &w = window();
    w.newCommand();
    w.editor().setCommonText(0, "Acme");
    w.editor().setCommonText(1, "P1");
    answers << QMessageBox::Yes;
    w.newCommand(); // the Save dialog is cancelled
    EXPECT_EQ(proposals, QStringList{"Acme-P1--"});
    EXPECT_EQ(w.editor().job().common(0), "");
    EXPECT_FALSE(w.editor().job().isChanged());

    w.editor().setCommonText(0, "Bolt");
    answers << QMessageBox::Yes;
    files << folder.filePath("bolt");
    w.newCommand();
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("bolt.bm")));
    EXPECT_EQ(w.windowTitle(), "bolt.bm - Corvane");
}

TEST_F(MainWindowTest, PreviewShowsTheShownSectionsPage)
{
    MainWindow &w = window();
    w.show();
    w.preview().start();
    QSignalSpy shown(&w.preview(), &PreviewPane::pageShown);
    w.newCommand();
    const QUrl expected = QUrl::fromLocalFile(folder.filePath("temp/wb1.htm"));
    for (int i = 0; i < 100 && (shown.isEmpty() || shown.last()[0].toUrl() != expected); ++i)
        shown.wait(200);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.last()[0].toUrl(), expected);
    EXPECT_TRUE(shown.last()[1].toBool());
}

int pdfPages(const QString &path)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    info.waitForFinished(30000);
    for (const QString &line : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

TEST_F(MainWindowTest, SavedJobOpensAgainIdentical)
{
    fillTwoSections();
    MainWindow &w = window();
    const JobFileContent before = jobFileContent(w.editor().job());
    files << folder.filePath("two.bm");
    ASSERT_TRUE(w.saveCommand());
    EXPECT_EQ(proposals.last(), "Acme---");
    EXPECT_EQ(w.windowTitle(), "two.bm - Corvane");
    EXPECT_FALSE(w.editor().job().isChanged());
    EXPECT_EQ(w.recentFiles().value(0), folder.filePath("two.bm"));

    files << folder.filePath("two.bm");
    w.openCommand();
    EXPECT_EQ(jobFileContent(w.editor().job()), before);
    EXPECT_EQ(w.editor().activeSectionIndex(), 1);
    EXPECT_FALSE(w.editor().job().isChanged());
    EXPECT_TRUE(page(1).contains("Customer : <b>Acme</b>"));
}

TEST_F(MainWindowTest, RecentFilesKeptUnderTheOldNameAreTakenOverOnce)
{
    const QString key = QStringLiteral("recentFiles");
    QSettings().remove(key);
    QSettings earlier(QStringLiteral("Unknown Organization"), QStringLiteral("Corvane"));
    earlier.setValue(key, QStringList{"/jobs/a.bm", "/jobs/b.bm"});
    earlier.sync();

    MainWindow &w = window();
    EXPECT_EQ(w.recentFiles(), (QStringList{"/jobs/a.bm", "/jobs/b.bm"}));
    // Kept in the program's own place from now on, which is Corvane's folder of settings.
    EXPECT_EQ(QSettings().fileName(),
              QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  QStringLiteral("/Corvane/Corvane.conf"));
    EXPECT_EQ(QSettings().value(key).toStringList(), w.recentFiles());
    earlier.setValue(key, QStringList{"/jobs/c.bm"});
    earlier.sync();
    EXPECT_EQ(w.recentFiles().value(0), "/jobs/a.bm");
    earlier.remove(key);
}

TEST_F(MainWindowTest, FailedSaveKeepsTheTitleAndTheChangedFlag)
{
    fillTwoSections();
    MainWindow &w = window();
    files << folder.filePath("no such folder/job.bm");
    EXPECT_FALSE(w.saveCommand());
    EXPECT_EQ(w.windowTitle(), "Corvane");
    EXPECT_TRUE(w.editor().job().isChanged());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(folder.filePath("no such folder/job.bm")));
}

TEST_F(MainWindowTest, BrokenFileKeepsTheOpenJobAndACancelLeavesANewJob)
{
    MainWindow &w = window();
    w.newCommand();
    w.editor().setCommonText(0, "Kept");
    ASSERT_TRUE(test::writeBytes(folder.filePath("broken.bm"), "\"[COMMON]\"\r\n\"Acme\""));
    files << folder.filePath("broken.bm");
    answers << QMessageBox::No; // do not save the changes
    w.openCommand();
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions.value(0).startsWith("Attention!"));
    EXPECT_TRUE(questions.value(1).contains("broken.bm"));
    EXPECT_EQ(w.editor().job().common(0), "Kept");
    EXPECT_TRUE(w.editor().job().isChanged());
    EXPECT_EQ(w.windowTitle(), "Corvane");

    answers << QMessageBox::No;
    w.openCommand(); // cancelled
    EXPECT_EQ(w.editor().job().common(0), "");
    EXPECT_FALSE(w.editor().job().isChanged());
    EXPECT_EQ(w.windowTitle(), "Corvane");
    EXPECT_EQ(w.editor().activeSectionIndex(), 1);
}

TEST_F(MainWindowTest, OpenWithAMaterialTheTableNoLongerListsRestoresTheTexts)
{
    JobFileContent content;
    content.common = {"Acme", "P1", "A", "Tray"};
    content.material = "BRASS";
    content.thickness = "2";
    content.sections[0].outside[0] = "40";
    content.sections[0].notes = "keep\r\nthis";
    ASSERT_TRUE(writeJobFile(content, folder.filePath("brass.bm")).ok());
    MainWindow &w = window();
    files << folder.filePath("brass.bm");
    w.openCommand();
    const Job &job = w.editor().job();
    EXPECT_EQ(job.common(3), "Tray");
    EXPECT_EQ(job.section(1).notes(), "keep\r\nthis");
    EXPECT_EQ(job.material().chosen(), -1);
    EXPECT_TRUE(job.thickness().items().isEmpty());
    EXPECT_EQ(w.windowTitle(), "brass.bm - Corvane");
}

TEST_F(MainWindowTest, PrintPreviewsTheJoinedDocumentAndShowsTheCurrentSectionAgain)
{
    fillTwoSections();
    MainWindow &w = window();
    printFile = folder.filePath("printed.pdf");
    w.printCommand();
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(previewSheets, 2);
    EXPECT_TRUE(printed);
    EXPECT_EQ(pdfPages(printFile), 2);
    EXPECT_EQ(w.editor().activeSectionIndex(), 2);
    const QByteArray joined = test::readBytes(folder.filePath("temp/wball.htm"));
    EXPECT_EQ(joined.count("<!DOCTYPE html>"), 2);
    EXPECT_TRUE(w.findChild<QToolBar *>(QStringLiteral("TB"))->isEnabled());
}

TEST_F(MainWindowTest, ExportPdfWritesOnePagePerSectionInUse)
{
    fillTwoSections();
    MainWindow &w = window();
    files << folder.filePath("export.pdf");
    // Through its button, as the operator starts it.
    QAction *button = nullptr;
    for (QAction *action : w.findChild<QToolBar *>(QStringLiteral("TB"))->actions()) {
        if (action->text() == "Export PDF")
            button = action;
    }
    ASSERT_TRUE(button);
    EXPECT_EQ(button->shortcut(), QKeySequence("Ctrl+Shift+E"));
    button->trigger();
    EXPECT_TRUE(questions.isEmpty()) << questions.value(0).toStdString();
    EXPECT_EQ(proposals.last(), "Acme---.pdf");
    EXPECT_EQ(pdfPages(folder.filePath("export.pdf")), 2);
    EXPECT_EQ(w.editor().activeSectionIndex(), 2);
}

} // namespace
} // namespace corvane
