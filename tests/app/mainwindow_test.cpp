#include "app/mainwindowtest.h"

#include "app/commonwindow.h"
#include "app/formstyle.h"
#include "app/sectionwindow.h"
#include "app/previewpane.h"
#include "app/printing.h"
#include "app/screenfit.h"
#include "app/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace corvane {
namespace {

class MainWindowTest : public test::MainWindowTest
{
protected:
    QToolBar &toolbar() { return *window().findChild<QToolBar *>(QStringLiteral("TB")); }
    QAction *action(const QString &text)
    {
        for (QAction *action : toolbar().actions()) {
            if (action->text() == text)
                return action;
        }
        ADD_FAILURE() << "no button " << text.toStdString();
        return nullptr;
    }

    // Sections 1 and 3 in use, of material MS 2 mm, with a customer; section 2 shown.
    void fillTwoSections()
    {
        window().editor().newJob();
        window().editor().setCommonText(0, "Acme");
        test::fillWorkedExample(window().editor(), 1);
        test::fillWorkedExample(window().editor(), 3);
        window().editor().showSection(2);
    }
};

// A job file given on the command line opens once the window is up, as Open would; a temp folder
// left from an earlier run is kept as it is.
TEST_F(MainWindowTest, AJobGivenAtStartOpensOnceTheWindowIsUp)
{
    ASSERT_TRUE(QDir().mkpath(folder.filePath("temp")));
    ASSERT_TRUE(test::writeBytes(folder.filePath("temp/keep.txt"), "x"));
    startFile = QStringLiteral(CORVANE_SOURCE_DIR "/examples/bracket.bm");
    MainWindow &w = window();
    w.show();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.windowTitle() == "bracket.bm - Corvane"; }, 5000));
    EXPECT_EQ(w.editor().job().common(0), "Harbour Fabrication");
    EXPECT_EQ(Settings().recentFiles().value(0), startFile);
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("temp/keep.txt")));
}

// Cancel on the question keeps the window open, as does a Save dialog cancelled after Yes; New and
// Open go on after such a Yes or after No, the changes dropped.
TEST_F(MainWindowTest, ClosingNewAndOpenAskAboutUnsavedChanges)
{
    MainWindow &w = window();
    w.show();
    w.newCommand();
    w.editor().setCommonText(0, "Acme");
    w.editor().setCommonText(1, "P1");
    answers << QMessageBox::Cancel << QMessageBox::Yes; // Yes: then the dialog is cancelled
    EXPECT_FALSE(w.close());
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(questions.value(0).startsWith("Attention!: Do you want to save changes"));
    answers << QMessageBox::Yes;
    w.newCommand();
    EXPECT_EQ(proposals.last(), "Acme-P1--");
    EXPECT_EQ(w.editor().job().common(0), "");

    w.editor().setCommonText(0, "Bolt");
    answers << QMessageBox::Yes;
    files << folder.filePath("bolt");
    w.newCommand();
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("bolt.bm")));

    w.editor().setCommonText(0, "Nut");
    answers << QMessageBox::No;
    w.openCommand(); // the Open dialog is cancelled: a new job
    EXPECT_EQ(w.editor().job().common(0), "");
}

TEST_F(MainWindowTest, ASavedJobOpensAgainIdenticalFromTheRecentFiles)
{
    fillTwoSections();
    MainWindow &w = window();
    const JobFileContent before = jobFileContent(w.editor().job());
    files << folder.filePath("two.bm");
    ASSERT_TRUE(w.saveCommand());
    EXPECT_TRUE(saving);
    EXPECT_EQ(w.windowTitle(), "two.bm - Corvane");
    EXPECT_FALSE(w.editor().job().isChanged());
    w.newCommand();
    const QList<QAction *> recent = action("Open")->menu()->actions();
    ASSERT_FALSE(recent.isEmpty());
    recent.first()->trigger();
    EXPECT_EQ(jobFileContent(w.editor().job()), before);
}

// A Save that cannot be written, after Yes, is named and stops New and Open, as does a job file
// that cannot be read; so does Escape on the question, asked here by the window's own message box.
TEST_F(MainWindowTest, AFailedSaveOrAnEscapedQuestionStopsNewAndOpenWithTheJobAsItWas)
{
    const auto stays = [](MainWindow &w) {
        EXPECT_EQ(w.editor().job().common(0), "Kept");
        EXPECT_TRUE(w.editor().job().isChanged());
        EXPECT_EQ(w.windowTitle(), "Corvane");
    };
    MainWindow &w = window();
    w.newCommand();
    w.editor().setCommonText(0, "Kept");
    for (void (MainWindow::*command)() : {&MainWindow::newCommand, &MainWindow::openCommand}) {
        answers << QMessageBox::Yes;
        files << folder.filePath("no such folder/job.bm");
        (w.*command)();
        stays(w);
        EXPECT_TRUE(questions.last().contains(folder.filePath("no such folder/job.bm")));
        EXPECT_EQ(proposals.size(), 1); // the Save dialog, and no Open dialog after it
        proposals.clear();
    }
    ASSERT_TRUE(test::writeBytes(folder.filePath("broken.bm"), "\"[COMMON]\"\r\n\"Acme\""));
    answers << QMessageBox::No;
    files << folder.filePath("broken.bm");
    w.openCommand();
    stays(w);
    EXPECT_TRUE(questions.last().contains("broken.bm")) << questions.last().toStdString();

    w.ask = OperatorDialogs::standard(&w).ask;
    proposals.clear();
    for (void (MainWindow::*command)() : {&MainWindow::newCommand, &MainWindow::openCommand}) {
        QTimer escape;
        QObject::connect(&escape, &QTimer::timeout, [] {
            if (QWidget *box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Escape);
        });
        escape.start(10);
        (w.*command)();
        stays(w);
        EXPECT_TRUE(proposals.isEmpty()); // no dialog after the question
    }
}

// A number box whose text is not read as it shows is tinted and says what it is read as, in its
// tooltip and, while it has the focus, in the status bar; a length too large to compute with is
// said there whatever has the focus.
TEST_F(MainWindowTest, ANumberBoxNotReadAsItShowsSaysWhatItIsReadAs)
{
    MainWindow &w = started();
    auto *flange = w.sectionWindow(1).findChild<QLineEdit *>(QStringLiteral("txtOutside0"));
    ASSERT_EQ(QApplication::focusWidget(), flange);
    const auto type = [](const char *text) {
        QWidget *box = QApplication::focusWidget();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, QString::fromLatin1(text));
    };
    type("1,5");
    EXPECT_EQ(flange->toolTip(), "read as 1");
    EXPECT_EQ(flange->palette().color(QPalette::Base), kNoteTint);
    EXPECT_EQ(w.statusText(), "Section 1, flange 1: \"1,5\" is read as 1");
    QTest::keyClick(flange, Qt::Key_Tab);
    EXPECT_EQ(w.statusText(), "");
    type("abc");
    EXPECT_EQ(w.statusText(), "Section 1, angle 1: \"abc\" is read as 0");
    type("90");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    type("1e100");
    QTest::keyClick(flange, Qt::Key_Tab);
    EXPECT_EQ(w.statusText(),
              "Section 1, flange 1: \"1e100\" is too large to compute with: read as 0");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    type("15");
    EXPECT_EQ(flange->toolTip(), "");
    EXPECT_NE(flange->palette().color(QPalette::Base), kNoteTint);
    EXPECT_EQ(w.statusText(), "");
}

TEST_F(MainWindowTest, PrintAndExportPdfGiveAPagePerSectionInUseAndShowTheCurrentOneAgain)
{
    fillTwoSections();
    MainWindow &w = window();
    // The print preview, which would like 900 by 1000, opens within the screen.
    int pages = 0;
    QSize preview;
    w.showPrintPreview = [&](ReportPrinter &printer) {
        pages = printer.pageCount();
        QTimer::singleShot(0, [&] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                preview = dialog->size().grownBy(kWindowFrame);
                dialog->close();
            }
        });
        printer.preview();
    };
    w.printCommand();
    EXPECT_EQ(pages, 2);
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_TRUE(preview.isValid() && screen.expandedTo(preview) == screen) << preview.height();
    EXPECT_EQ(w.editor().activeSectionIndex(), 2);
    EXPECT_TRUE(toolbar().isEnabled());

    // Export PDF through its button, as the operator starts it.
    files << folder.filePath("export.pdf");
    action("Export PDF")->trigger();
    EXPECT_TRUE(questions.isEmpty()) << questions.value(0).toStdString();
    EXPECT_EQ(proposals.last(), "Acme---.pdf");
    EXPECT_EQ(test::pdfPages(folder.filePath("export.pdf")).size(), 2);
    EXPECT_EQ(w.editor().activeSectionIndex(), 2);
    EXPECT_TRUE(toolbar().isEnabled());
}

TEST_F(MainWindowTest, KeysReachTheOptionsAndTheSections)
{
    MainWindow &w = started();
    const auto key = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::AltModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    };
    // From the first flange of section 1, where New leaves the focus.
    key(Qt::Key_K);
    EXPECT_TRUE(w.editor().detailed());
    key(Qt::Key_U);
    key(Qt::Key_Down, Qt::NoModifier);
    EXPECT_EQ(w.editor().unit(), LengthUnit::DecimalInch);
    // Alt and a number show that section from anywhere, the unit selector included.
    key(Qt::Key_5);
    EXPECT_EQ(w.editor().activeSectionIndex(), 5);
    EXPECT_TRUE(w.sectionWindow(5).isAncestorOf(QApplication::focusWidget()));
    EXPECT_FALSE(w.sectionWindow(1).isVisible());
    // Tab from Vee All goes on into the shown section.
    w.commonWindow().findChild<QComboBox *>(QStringLiteral("cmbVeeG"))->setFocus();
    key(Qt::Key_Tab, Qt::NoModifier);
    EXPECT_EQ(QApplication::focusWidget(),
              w.sectionWindow(5).findChild<QWidget *>(QStringLiteral("txtOutside0")));
    // A typed text that is no unit leaves lengths without a unit.
    w.unitBox().setEditText(QStringLiteral("View in feet"));
    EXPECT_EQ(w.editor().unit(), LengthUnit::None);
}

TEST_F(MainWindowTest, InputWindowsDraggedAwayGoBackToTheirPlaces)
{
    MainWindow &w = window();
    w.show();
    w.newCommand();
    const auto frames = w.findChildren<QMdiSubWindow *>();
    ASSERT_EQ(frames.size(), 6);
    QList<QRect> places;
    for (QMdiSubWindow *frame : frames) {
        places.append(frame->geometry());
        frame->setGeometry(frame->geometry().translated(400, 120).adjusted(0, 0, -50, -50));
    }
    QCoreApplication::processEvents();
    for (qsizetype i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i]->geometry(), places[i]) << i;
}

TEST(ScreenFit, AWindowTooLargeForTheScreenIsMadeToFitAndCentred)
{
    const QMargins frame(4, 30, 4, 4);
    // A 1366 by 768 screen with a panel of 32 at the bottom.
    const QRect available(0, 0, 1366, 736);
    const QRect main = fittedGeometry(QSize(1280, 860), available, frame);
    EXPECT_EQ(main.size(), QSize(1280, 702));
    EXPECT_EQ(main.center(), available.marginsRemoved(frame).center());
    // A window that fits keeps its size; the screen may lie right of another one.
    const QRect right(1600, 0, 1600, 1000);
    const QRect fits = fittedGeometry(QSize(900, 700), right, frame);
    EXPECT_EQ(fits.size(), QSize(900, 700));
    EXPECT_TRUE(right.contains(fits.marginsAdded(frame)));
}

TEST_F(MainWindowTest, WindowsOpenWithinTheScreenAndEveryInputAndOptionStaysInView)
{
    // The test platform's screen is lower than the window would like to be.
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    ASSERT_LT(screen.height(), 860 + kWindowFrame.top() + kWindowFrame.bottom());
    MainWindow &w = window();
    w.show();
    EXPECT_EQ(screen.expandedTo(w.size().grownBy(kWindowFrame)), screen) << w.height();

    w.newCommand();
    for (const QSize shopScreen : {QSize(1366, 768), QSize(1280, 800)}) {
        SCOPED_TRACE(shopScreen.width());
        // The window as it opens on such a screen with a panel of 32 pixels.
        w.resize(
            fittedGeometry(QSize(1280, 860), QRect(QPoint(), shopScreen - QSize(0, 32))).size());
        QCoreApplication::processEvents();
        auto *scroll = w.sectionWindow(1).findChild<QScrollArea *>();
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
        for (QWidget *control :
             scroll->widget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            // Beside the scroll bar, never under it.
            EXPECT_LE(control->mapTo(scroll->viewport(), control->rect().topRight()).x(),
                      scroll->viewport()->width())
                << control->objectName().toStdString();
        }
        // The Common Details window shows whole, and the preview keeps most of the width.
        const CommonWindow &common = w.commonWindow();
        EXPECT_TRUE(common.rect().contains(common.childrenRect()));
        EXPECT_GE(common.height(), common.sizeHint().height());
        EXPECT_GT(w.preview().width(), shopScreen.width() * 2 / 3);
    }
    w.resize(200, 600); // narrower than the window allows
    QCoreApplication::processEvents();
    for (QWidget *option : std::initializer_list<QWidget *>{&w.detailBox(), &w.unitBox()}) {
        EXPECT_TRUE(option->isVisible());
        const QRect place(option->mapTo(&w, QPoint(0, 0)), option->size());
        EXPECT_TRUE(w.rect().contains(place)) << place.x() << " of " << w.width();
    }
}

} // namespace
} // namespace corvane
