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

// A job of a file killed once its copy was written: the offer names the file, Open titles the
// job so and Save proposes the file. A new job at the timed end, which writes the copy at once and
// asks nothing: Not now keeps the copy under a name of its own, says where, and offers it no more.
TEST_F(RecoveryTest, AKilledOrTimedOutJobIsOfferedBackAndKeptWhenNotOpened)
{
    const QString bracket = folder.filePath("bracket.bm");
    ASSERT_TRUE(QFile::copy(CORVANE_SOURCE_DIR "/examples/bracket.bm", bracket));
    for (bool killed : {true, false}) {
        SCOPED_TRACE(killed);
        startFile = killed ? bracket : QString();
        questions.clear();
        MainWindow &w = started();
        if (killed) {
            w.editor().setCommonText(0, "Opened");
            ASSERT_TRUE(copyWritten(w));
        } else {
            EXPECT_EQ(w.timedEnd(), QString()); // nothing unsaved
            w.editor().setCommonText(0, "Kept");
            EXPECT_EQ(w.timedEnd(), copy());
            EXPECT_EQ(readJobFile(copy()).content, jobFileContent(w.editor().job()));
            EXPECT_TRUE(questions.isEmpty());
        }
        crash();
        offers.clear();
        takeBack << killed;
        startFile.clear();
        MainWindow &next = started();
        ASSERT_EQ(offers.size(), 1);
        EXPECT_TRUE(offers[0].startsWith(QString("Corvane did not close normally. The job you were "
                                                 "working on was kept (%1, changed ")
                                             .arg(killed ? "bracket.bm" : "a new job")))
            << offers[0].toStdString();
        if (killed) {
            EXPECT_EQ(next.windowTitle(), "bracket.bm (recovered) - Corvane");
            EXPECT_EQ(next.editor().job().common(0), "Opened");
            EXPECT_TRUE(next.editor().job().isChanged());
            answers << QMessageBox::Yes << QMessageBox::No;
            next.close(); // Yes, then the Save dialog, cancelled; then No
            EXPECT_EQ(proposals.last(), bracket);
            EXPECT_TRUE(next.close());
        } else {
            EXPECT_EQ(next.editor().job().common(0), "");
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
    EXPECT_FALSE(QFileInfo::exists(copy()));

    w.editor().redo();
    ASSERT_TRUE(copyWritten(w));
    answers << QMessageBox::No;
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(QFileInfo::exists(copy()));
}

// A copy that cannot be written (a file stands where its folder would go) holds up no keystroke
// and is said once, until one can be again.
TEST_F(RecoveryTest, ACopyThatCannotBeWrittenCostsNoKeystrokeAndIsSaidOnce)
{
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
