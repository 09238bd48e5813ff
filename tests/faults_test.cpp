// What the program does when the files around it fail while a job is open: the bend table
// broken or swapped, a full disk. In every case the operator is told where it broke and
// the open job stays as it was. The readers and writers have the same faults in their own tests,
// file by file, each file on disk either as it was or wholly new; here they meet the window.

#include "app/mainwindowtest.h"
#include "app/previewpane.h"

#include <QDir>
#include <QRegularExpression>

#include <atomic>
#include <set>
#include <thread>

namespace corvane {
namespace {

using namespace test;

// A bend table of MS 2 mm on vees 12 (the standard) and 16, with a K factor that tells tables
// apart and the version in the first row.
QByteArray smallTable(const char *kFactor, const char *version)
{
    return test::textWorkbook(
        {{"material", "thickness", "vee", "standard", "k_factor", "internal_radius", "version"},
         {"MS", "2", "12", "YES", kFactor, "1.92", version},
         {"MS", "2", "16", "", kFactor, "1.92"}});
}

class Faults : public test::MainWindowTest
{
protected:
    void SetUp() override
    {
        test::MainWindowTest::SetUp();
        ASSERT_TRUE(test::writeBytes(tablePath(), smallTable("0.38", "v1")));
    }

    QString tablePath() const { return folder.filePath("BendTbl.xls"); }
    QString page() const { return QString::fromUtf8(readBytes(folder.filePath("temp/wb1.htm"))); }
    JobFileContent content() { return jobFileContent(window().editor().job()); }

    // A bracket of MS 2 mm in section 1, with a note, as an operator leaves it before the fault.
    void openBracket()
    {
        window().editor().newJob();
        window().editor().setCommonText(0, "Acme");
        test::fillWorkedExample(window().editor());
        window().editor().setNotes(1, "deburr\r\nboth ends");
    }
};

TEST_F(Faults, BrokenBendTableIsNamedAndNeitherTheJobNorTheWorkbookIsTouched)
{
    const QString shown = QDir::toNativeSeparators(tablePath());
    const QByteArray good = readBytes(tablePath());
    MainWindow &w = window();
    openBracket();
    // Cut short, as by an interrupted save. What the status says besides the workbook's name is
    // the bend table source's, and what the page says is the page's.
    ASSERT_EQ(replaceFile(tablePath(), good.left(good.size() / 2)), QString());
    JobFileContent expected = content();
    expected[JobField::outside(1, 1)] = QStringLiteral("61");
    w.editor().setOutside(1, 1, QStringLiteral("61"));

    EXPECT_EQ(content(), expected);
    const QString status = w.tableStatusText();
    EXPECT_TRUE(status.contains(shown)) << status.toStdString();
    // The page says why it could not be read instead of giving a plausible total.
    EXPECT_TRUE(page().contains(status.mid(status.indexOf(shown)))) << page().toStdString();
    EXPECT_EQ(readBytes(tablePath()), good.left(good.size() / 2));
    EXPECT_TRUE(questions.isEmpty()) << questions.join('\n').toStdString();

    // Mended, the next keystroke computes with the table again.
    ASSERT_EQ(replaceFile(tablePath(), good), QString());
    w.editor().setOutside(1, 1, QStringLiteral("62"));
    EXPECT_TRUE(w.tableStatusText().endsWith("BendTbl.xls v1"))
        << w.tableStatusText().toStdString();
}

// The workbook swapped under the program while it computes, by rename and by rewriting in place:
// every page is the page of one whole table or of none, never of a table half read.
TEST_F(Faults, BendTableReplacedWhileComputingGivesThePageOfOneWholeTable)
{
    const QByteArray first = smallTable("0.38", "v1");
    const QByteArray second = smallTable("0.45", "v2");
    MainWindow &w = window();
    openBracket();
    // The page of a table that could not be read says why, which differs with the moment.
    const auto read = [this] {
        static const QRegularExpression why(QStringLiteral("applied: [^<]*"));
        return page().replace(why, QStringLiteral("applied: ..."));
    };
    std::set<QString> wholePages;
    for (const QByteArray &bytes : {first, second, QByteArray("not a workbook")}) {
        ASSERT_EQ(replaceFile(tablePath(), bytes), QString());
        w.editor().requestRecompute();
        wholePages.insert(read());
    }
    ASSERT_EQ(wholePages.size(), 3u);

    std::atomic<bool> done{false};
    std::thread swapper([&] {
        for (int i = 0; !done; ++i) {
            const QByteArray &bytes = i % 2 ? second : first;
            // By rename, or in place in two writes, as a program that truncates and rewrites.
            QFile file(tablePath());
            if (i % 3 != 0) {
                replaceFile(tablePath(), bytes);
            } else if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                file.write(bytes.left(bytes.size() / 2));
                file.flush();
                file.write(bytes.mid(bytes.size() / 2));
            }
        }
    });
    // Stopped and joined on every way out of the test, a failed assertion included.
    const auto stop = [&done](std::thread *thread) {
        done = true;
        thread->join();
    };
    const std::unique_ptr<std::thread, decltype(stop)> joiner(&swapper, stop);
    std::set<QString> seen;
    for (int run = 0; run < 300; ++run) {
        w.editor().requestRecompute();
        const QString written = read();
        ASSERT_TRUE(wholePages.count(written)) << "run " << run << ":\n" << written.toStdString();
        seen.insert(written);
    }
    EXPECT_GE(seen.size(), 2u);
}

// A full disk while the pages are written: the preview and the status line say that the page is
// not the current one, and why, until a change can be written again. That each file is then the
// old one or the new one is the file writer's test and the section run's.
TEST_F(Faults, FullDiskWhileWritingPagesIsSaidUntilAChangeCanBeWritten)
{
    MainWindow &w = window();
    openBracket();
    const int status = test::runWithFileSizeLimit(
        [&] {
            QString reported;
            QObject::connect(&w.editor(), &JobEditor::writeFailed,
                             [&](const QString &message) { reported = message; });
            w.editor().setOutside(1, 1, "180");
            if (!reported.contains(w.tempFolder()) || !reported.endsWith(": File too large"))
                return 2;
            if (w.preview().problem() != reported || w.statusText() != reported)
                return 3;
            if (!test::liftFileSizeLimit())
                return 4;
            w.editor().setOutside(1, 1, "181");
            return w.preview().problem().isEmpty() && w.statusText().isEmpty() ? 0 : 5;
        },
        0);
    EXPECT_EQ(status, 0);
}

} // namespace
} // namespace corvane
