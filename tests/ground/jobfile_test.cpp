#include "ground/jobfile.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace corvane {
namespace {

using namespace test;

// A job with every field set: commas, line breaks in notes, control characters, non-ASCII texts
// that all fit Windows-1252 (texts beyond it: textcodec_test.cpp).
Job fullJob()
{
    Job job;
    job.setCommon(CommonText::Customer, QStringLiteral("Acme, Inc."));
    job.setCommon(CommonText::PartNo, QStringLiteral("BR-100"));
    job.setCommon(CommonText::Revision, QStringLiteral("C"));
    job.setCommon(CommonText::Description, QStringLiteral("Bracket 90\u00b0 \u00d8 12, caf\u00e9"));
    job.material().setItems({QStringLiteral("AL5052"), QStringLiteral("MS")});
    job.material().choose(1);
    job.thickness().setItems({QStringLiteral("1.5"), QStringLiteral("2")});
    job.thickness().choose(1);
    job.veeAll().setItems({QStringLiteral("12"), QStringLiteral("16")});
    job.veeAll().choose(0);
    for (int n = 1; n <= kSectionCount; ++n) {
        Section &s = job.section(n);
        s.setView(QString::fromUtf16(u"View %1, \x01\x1a\x1b[2J\x7f\t\x0b\x0c\u2022").arg(n));
        s.rotate().choose(n);
        s.setScale(n % 2);
        s.setNotes(QStringLiteral("line one, with comma\r\nline \u00e9 two\r\n\r\nlast"));
        for (int k = 0; k < kFlangeCount; ++k)
            s.setOutside(k, QString::number(10 * n + k));
        for (int k = 0; k < kBendCount; ++k) {
            s.setAngle(k, QString::number(k % 2 ? -90 : 45));
            s.vee(k).setItems({QStringLiteral("12"), QStringLiteral("16")});
            s.vee(k).choose(k % 2);
        }
    }
    return job;
}

TEST(JobFile, UntouchedJobIsSixtyEightLinesOfEmptyTextsAndAFullJobIsReadBackIdentical)
{
    const QString data = QStringLiteral(CORVANE_SOURCE_DIR "/tests/ground/data/");
    EXPECT_EQ(formatJobFile(jobFileContent(Job())), readBytes(data + "untouched-job.bm"));

    // A full job is saved and read back identical.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.bm"));
    const JobFileContent saved = jobFileContent(fullJob());
    ASSERT_TRUE(writeJobFile(saved, path).ok());

    // Every character fits Windows-1252, so the file is written in it, each text in its place.
    EXPECT_EQ(readBytes(path), readBytes(data + "full-job.bm"));

    const JobFileReadResult read = readJobFile(path);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.content, saved);

    // The name proposed for it joins the four common texts, empty or not.
    EXPECT_EQ(proposedFileName(Job()), "---");
    EXPECT_EQ(proposedFileName(fullJob()),
              QStringLiteral("Acme, Inc.-BR-100-C-Bracket 90\u00b0 \u00d8 12, caf\u00e9"));
}

// Blank widths follow the 68 lines in a block of their own, only when a section has one; the
// lines before it are those of the same job without widths.
TEST(JobFile, BlankWidthsFollowTheItemsInABlockOfTheirOwn)
{
    Job job = fullJob();
    const QByteArray without = formatJobFile(jobFileContent(job));
    job.section(2).setWidth(QStringLiteral("120.5"));
    job.section(5).setWidth(QStringLiteral("80"));
    const QByteArray with = formatJobFile(jobFileContent(job));
    EXPECT_EQ(with, without + "\"[BLANK WIDTH]\"\r\n\"\",\"120.5\",\"\",\"\",\"80\"\r\n");
    const JobFileReadResult read = parseJobFile(with);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.content, jobFileContent(job));
    EXPECT_EQ(parseJobFile(without).content.widths, decltype(read.content.widths){});

    // A block cut short: no widths, the rest of the job, and why.
    const JobFileReadResult cut = parseJobFile(with.chopped(12));
    ASSERT_TRUE(cut.ok());
    EXPECT_EQ(cut.content.items, read.content.items);
    EXPECT_EQ(cut.content.widths, decltype(read.content.widths){});
    EXPECT_TRUE(cut.widthsProblem.contains("cut short")) << cut.widthsProblem.toStdString();
    // Anything else after the items is passed over, as ever.
    EXPECT_TRUE(parseJobFile(without + "\"other\",\"1\"\r\n").widthsProblem.isEmpty());
}

TEST(JobFile, HandEditsAreReadByTheItemRuleAndFilesCutShortMalformedOrNoRegularFileAreNot)
{
    // Blanks around items, junk after a closing quote, LF or CR line ends (the notes then read
    // with CR LF), an unquoted last item without a line end: all read as the file that was saved.
    const QByteArray saved = formatJobFile(jobFileContent(fullJob()));
    QByteArray blanks = saved;
    blanks.replace("\"[COMMON]\"\r\n\"Acme, Inc.\",", "  [COMMON]  \n  \"Acme, Inc.\"x ,");
    blanks.replace(",1,", ",  1  ,");
    for (const QByteArray &bytes :
         {blanks, QByteArray(saved).replace("\r\n", "\n"), QByteArray(saved).replace("\r\n", "\r"),
          saved.left(saved.lastIndexOf("\"60\"")) + "60"}) {
        const JobFileReadResult read = parseJobFile(bytes);
        EXPECT_EQ(read.content, jobFileContent(fullJob())) << read.error.toStdString();
    }

    // A file cut short is rejected. The last item is whole once its closing quote is there:
    // another editor may have left the last line without a line end, or with a lone CR.
    for (qsizetype length = 0; length < saved.size(); ++length) {
        const JobFileReadResult read = parseJobFile(saved.left(length));
        if (length >= saved.size() - 2) {
            EXPECT_EQ(read.content, jobFileContent(fullJob())) << read.error.toStdString();
        } else {
            EXPECT_TRUE(read.error.startsWith(QStringLiteral("the file ends too early")))
                << "prefix of " << length << " bytes";
        }
    }

    // Malformed files are rejected saying what is wrong.
    const QByteArray valid = formatJobFile(jobFileContent(Job()));
    const auto withScale = [&](const char *scale) {
        return QByteArray(valid).replace(",1,", QByteArray(",") + scale + ",");
    };
    const std::pair<QByteArray, const char *> cases[] = {
        {valid.left(valid.indexOf("[SECITION 3]") + 15),
         "the file ends too early: item 82 of 188 (in section 3) is missing"},
        {withScale("2"), "the 1:1 Scale item of section 1 is \"2\", not 0 or 1"},
        {withScale(" 2 x "), "the 1:1 Scale item of section 1 is \"2 x\", not 0 or 1"},
        {withScale("  "), "the 1:1 Scale item of section 1 is \"\", not 0 or 1"},
        {QByteArray("\"[COMMON]\"\0\r\n", 13),
         "it is not a Corvane job file (it holds binary data)"},
    };
    for (const auto &[bytes, error] : cases)
        EXPECT_EQ(parseJobFile(bytes).error, error);

    // Only a regular file of at most the limit is read, and every message names the file.
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.bm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString large = dir.filePath(QStringLiteral("large.bm"));
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(kMaxJobFileBytes + 1));
    file.close();
    const QString bad = dir.filePath(QStringLiteral("bad.bm"));
    ASSERT_TRUE(writeBytes(bad, "\"[COMMON]\"\r\n"));
    const std::pair<QString, const char *> files[] = {
        {fifo, "it is not a regular file"},
        {large, "it is 32 MB, and a Corvane job file has at most 32 MB"},
        {bad, "the file ends too early: item 2 of 188 (in the common details) is missing"},
        {dir.filePath(QStringLiteral("gone.bm")), "No such file or directory"},
    };
    for (const auto &[path, why] : files)
        EXPECT_EQ(readJobFile(path).error, "Cannot open " + path + ": " + why + ".");
    // One that opens and then fails: this process's memory, read from address 0.
    EXPECT_EQ(readJobFile("/proc/self/mem").error,
              "Cannot read /proc/self/mem: Input/output error");

    // At the limit, a file is read: this one is a job whose note fills it up.
    Job job;
    const qsizetype bare = formatJobFile(jobFileContent(job)).size();
    job.section(1).setNotes(QString(kMaxJobFileBytes - bare, u'n'));
    ASSERT_TRUE(writeJobFile(jobFileContent(job), large).ok());
    ASSERT_EQ(QFileInfo(large).size(), kMaxJobFileBytes);
    const JobFileReadResult read = readJobFile(large);
    EXPECT_EQ(read.content, jobFileContent(job)) << read.error.toStdString();
}

TEST(JobFile, SaveThatFailsKeepsTheOldFileAndNamesIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.bm"));
    const QByteArray old = formatJobFile(jobFileContent(Job()));
    ASSERT_TRUE(writeBytes(path, old));
    const JobFileContent next = jobFileContent(fullJob());
    const auto fails = [&] {
        return writeJobFile(next, path).error.contains(path);
    };
    // A full disk, wherever the new file would pass the space left.
    const long size = long(formatJobFile(next).size());
    for (long limit : {0L, 1L, 100L, 1000L, size - 1}) {
        EXPECT_EQ(test::runWithFileSizeLimit(fails, limit), 1) << "limit " << limit;
        EXPECT_EQ(readBytes(path), old) << "limit " << limit;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("job.bm")});
    }
    // A file the operator may write in a folder that he may not.
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOther);
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther));
    EXPECT_EQ(test::runInChild(fails, true), 1);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("job.bm")});
    const QString missing = QStringLiteral("/nonexistent/folder/job.bm");
    EXPECT_TRUE(writeJobFile(next, missing).error.contains(missing));
}

} // namespace
} // namespace corvane
