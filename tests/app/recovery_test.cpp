#include "app/mainwindowtest.h"

#include "app/recoverykeeper.h"
#include "app/sectionwindow.h"
#include "ground/jobfile.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace corvane {
namespace {

class RecoveryTest : public test::MainWindowTest
{
protected:
    // The window shown, its start done: any copy offered, a job open, the copy followed.
    MainWindow &started()
    {
        MainWindow &w = window();
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.editor().activeSectionIndex() == 1; }));
        QCoreApplication::processEvents();
        return w;
    }
    QString copy() const { return folder.filePath("recovery/job.bm"); }
    bool copyWritten(MainWindow &w)
    {
        return QTest::qWaitFor(
            [&] {
                return QFileInfo::exists(copy()) &&
                       readJobFile(copy()).content == jobFileContent(w.editor().job());
            },
            2000);
    }
};

// The timed end writes the copy without asking; the next start offers it, and Open shows the job
// as it was, changed.
TEST_F(RecoveryTest, TheTimedEndKeepsTheJobForTheNextStartToOfferBack)
{
    MainWindow &w = started();
    EXPECT_EQ(w.timedEnd(), QString()); // nothing unsaved
    w.editor().setOutside(1, 0, "75");
    EXPECT_EQ(w.timedEnd(), copy());
    EXPECT_EQ(readJobFile(copy()).content, jobFileContent(w.editor().job()));
    EXPECT_TRUE(questions.isEmpty());
    crash();

    takeBack << true;
    MainWindow &next = started();
    ASSERT_EQ(offers.size(), 1);
    EXPECT_TRUE(offers[0].startsWith("Corvane did not close normally. The job you were working on "
                                     "was kept (a new job, changed "))
        << offers[0].toStdString();
    EXPECT_EQ(next.editor().job().section(1).outside(0), "75");
    EXPECT_TRUE(next.editor().job().isChanged());
    EXPECT_EQ(next.windowTitle(), "Recovered job - Corvane");
}

// A job of a file, killed: the copy names the file. Open titles it so and Save proposes the file;
// Not now keeps the copy under a name of its own and says where, and it is not offered again.
TEST_F(RecoveryTest, AKilledJobIsOfferedWithItsFileAndKeptWhenNotOpened)
{
    const QString bracket = folder.filePath("bracket.bm");
    ASSERT_TRUE(QFile::copy(CORVANE_SOURCE_DIR "/examples/bracket.bm", bracket));
    for (bool open : {true, false}) {
        SCOPED_TRACE(open);
        ASSERT_TRUE(QDir(folder.filePath("recovery")).removeRecursively());
        startFile = bracket;
        MainWindow &w = started();
        w.editor().setCommonText(0, open ? "Opened" : "Kept");
        ASSERT_TRUE(copyWritten(w));
        crash();
        offers.clear();
        takeBack << open;
        if (open)
            startFile.clear();
        MainWindow &next = started();
        ASSERT_EQ(offers.size(), 1);
        EXPECT_TRUE(offers[0].contains("(bracket.bm, changed ")) << offers[0].toStdString();
        if (open) {
            EXPECT_EQ(next.windowTitle(), "bracket.bm (recovered) - Corvane");
            EXPECT_EQ(next.editor().job().common(0), "Opened");
            answers << QMessageBox::Yes;
            next.close(); // Yes, then the Save dialog, cancelled
            EXPECT_EQ(proposals.last(), bracket);
        } else {
            // The start file opens after the copy was put aside.
            EXPECT_EQ(next.editor().job().common(0), "Harbour Fabrication");
            const QStringList kept =
                QDir(folder.filePath("recovery")).entryList({"kept-*.bm"}, QDir::Files);
            ASSERT_EQ(kept.size(), 1);
            const QString keptPath = folder.filePath("recovery/" + kept[0]);
            EXPECT_EQ(readJobFile(keptPath).content.items[1], "Kept");
            EXPECT_TRUE(questions.last().contains(keptPath)) << questions.last().toStdString();
        }
        crash();
    }
    offers.clear();
    started();
    EXPECT_TRUE(offers.isEmpty());
}

// The copy goes as soon as nothing is unsaved: after Save, after undoing back to the saved job,
// and when the window is closed after the operator's answer.
TEST_F(RecoveryTest, TheCopyGoesOnceNothingIsUnsaved)
{
    MainWindow &w = started();
    w.editor().setOutside(1, 0, "75");
    ASSERT_TRUE(copyWritten(w));
    files << folder.filePath("saved.bm");
    ASSERT_TRUE(w.saveCommand());
    EXPECT_FALSE(QFileInfo::exists(copy()));

    w.editor().setOutside(1, 0, "80");
    ASSERT_TRUE(copyWritten(w));
    w.editor().undo();
    EXPECT_FALSE(w.editor().job().isChanged());
    EXPECT_FALSE(QFileInfo::exists(copy()));

    w.editor().redo();
    ASSERT_TRUE(copyWritten(w));
    answers << QMessageBox::No;
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(QFileInfo::exists(copy()));
}

// A copy that cannot be written holds up no keystroke and is said once, until one can be again.
TEST_F(RecoveryTest, ACopyThatCannotBeWrittenCostsNoKeystrokeAndIsSaidOnce)
{
    // The folder cannot be made: a file stands where it would go.
    ASSERT_TRUE(test::writeBytes(folder.filePath("recovery"), "in the way"));
    MainWindow &w = started();
    QSignalSpy said(&w.recovery(), &RecoveryKeeper::problemChanged);
    auto *flange = w.sectionWindow(1).findChild<QLineEdit *>("txtOutside0");
    flange->setFocus();
    for (const char *keys : {"12", "34", "56"}) {
        QTest::keyClicks(flange, keys);
        QTest::qWait(RecoveryKeeper::kDelayMilliseconds + 300);
    }
    EXPECT_EQ(w.editor().job().section(1).outside(0), "123456");
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0][0].toString().startsWith("No recovery copy of the job could be written: "));

    ASSERT_TRUE(QFile::remove(folder.filePath("recovery")));
    QTest::keyClicks(flange, "7");
    ASSERT_TRUE(copyWritten(w));
    EXPECT_TRUE(QTest::qWaitFor([&] { return said.size() == 2; }));
    EXPECT_EQ(said.last()[0].toString(), "");
}

} // namespace
} // namespace corvane
