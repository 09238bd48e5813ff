#include "shell/ground/jobfile.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace corvane {
namespace {

using test::readBytes;
using test::writeBytes;

// A job with every field set: commas, line breaks in notes, non-ASCII texts.
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
        s.setView(QStringLiteral("View %1, side").arg(n));
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

int lineCount(const QByteArray &bytes)
{
    return int(bytes.count("\r\n"));
}

TEST(JobFile, UntouchedJobIsSixtyEightLinesOfTheFormat)
{
    const QByteArray bytes = formatJobFile(jobFileContent(Job()));
    EXPECT_EQ(lineCount(bytes), 68);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const QByteArray emptyBend = "\"\",\"\",\"\"\r\n";
    QByteArray section1 =
        "\"[SECITION 1]\"\r\n\"\",\"\",1,\"\"\r\n" + emptyBend.repeated(10) + "\"\"\r\n";
    EXPECT_TRUE(
        bytes.startsWith("\"[COMMON]\"\r\n\"\",\"\",\"\",\"\"\r\n\"\",\"\",\"\"\r\n" + section1));
    EXPECT_TRUE(bytes.endsWith("\"[SECITION 5]\"\r\n\"\",\"\",1,\"\"\r\n" + emptyBend.repeated(10) +
                               "\"\"\r\n"));
}

TEST(JobFile, FirstLinesOfAJobWithCustomerAndMaterial)
{
    Job job;
    job.setCommon(CommonText::Customer, QStringLiteral("Acme"));
    job.material().setItems({QStringLiteral("MS")});
    job.material().choose(0);
    const QByteArray bytes = formatJobFile(jobFileContent(job));
    EXPECT_TRUE(
        bytes.startsWith("\"[COMMON]\"\r\n\"Acme\",\"\",\"\",\"\"\r\n\"MS\",\"\",\"\"\r\n"));
}

TEST(JobFile, FullJobIsSavedAndReadBackIdentical)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.bm"));
    const JobFileContent saved = jobFileContent(fullJob());
    ASSERT_TRUE(writeJobFile(saved, path).ok());

    const QByteArray bytes = readBytes(path);
    // Every character fits Windows-1252, so the file is written in it.
    EXPECT_TRUE(bytes.contains("caf\xe9"));
    EXPECT_EQ(lineCount(bytes), 68 + 5 * 3);

    const JobFileReadResult read = readJobFile(path);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.content, saved);
    EXPECT_EQ(read.content[JobField::notes(2)],
              QStringLiteral("line one, with comma\r\nline \u00e9 two\r\n\r\nlast"));
    EXPECT_EQ(read.content[JobField::rotate(3)], "135");
    EXPECT_EQ(read.content[JobField::scale(2)], "0");
    EXPECT_EQ(read.content[JobField::vee(1, 1)], "16");
}

TEST(JobFile, TextsOutsideWindows1252AreSavedAsUtf8AndReadBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("utf8.bm"));
    Job job = fullJob();
    job.setCommon(CommonText::Customer, QStringLiteral("\u0141\u00f3d\u017a \u6d4b\u8bd5"));
    const JobFileContent saved = jobFileContent(job);
    ASSERT_TRUE(writeJobFile(saved, path).ok());
    EXPECT_TRUE(readBytes(path).contains(QStringLiteral("\u0141\u00f3d\u017a").toUtf8()));
    const JobFileReadResult read = readJobFile(path);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.content, saved);
}

TEST(JobFile, TextsWhoseWindows1252BytesAreValidUtf8AreSavedAsUtf8)
{
    // In Windows-1252 an e acute and two euro signs are E9 80 80, which is also the UTF-8 of
    // U+9000; "\u00c3\u00a9" is C3 A9, the UTF-8 of an e acute. The reader takes a file of valid
    // UTF-8 as UTF-8, so these texts must not be written in Windows-1252.
    JobFileContent content = jobFileContent(Job());
    content[JobField::common(0)] = QStringLiteral("\u00e9\u20ac\u20ac");
    content[JobField::notes(5)] = QStringLiteral("\u00c3\u00a9\r\n\u00c3\u00a9");
    const JobFileReadResult read = parseJobFile(formatJobFile(content));
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.content[JobField::common(0)], content[JobField::common(0)]);
    EXPECT_EQ(read.content[JobField::notes(5)], content[JobField::notes(5)]);

    // Texts of Windows-1252 that cannot be taken for UTF-8 stay Windows-1252.
    content = jobFileContent(Job());
    content[JobField::common(0)] = QStringLiteral("caf\u00e9 \u20ac");
    EXPECT_TRUE(formatJobFile(content).contains("caf\xe9 \x80"));
}

TEST(JobFile, ReaderFollowsTheItemRule)
{
    // Blanks before items, unquoted items with trailing blanks, bare LF line ends, junk after a
    // closing quote, and an apostrophe inside quotes are all read as the item rule says.
    QByteArray bytes = formatJobFile(jobFileContent(fullJob()));
    bytes.replace("\"[COMMON]\"\r\n\"Acme, Inc.\",", "  [COMMON]  \n  \"Acme, Inc.\"x ,");
    bytes.replace(",1,", ",  1  ,");
    const JobFileReadResult read = parseJobFile(bytes);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.content, jobFileContent(fullJob()));
}

TEST(JobFile, AFileCutShortIsRejectedButOneThatOnlyLacksItsLastLineEndIsRead)
{
    const QByteArray bytes = formatJobFile(jobFileContent(fullJob()));
    const JobFileContent whole = parseJobFile(bytes).content;
    ASSERT_TRUE(bytes.endsWith("\"\r\n"));
    // The last item is whole once its closing quote is there: another editor may have left the
    // last line without a line end, or with a lone CR or LF.
    const qsizetype lastItemComplete = bytes.size() - 2;
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        const JobFileReadResult read = parseJobFile(bytes.left(length));
        if (length >= lastItemComplete) {
            ASSERT_TRUE(read.ok())
                << "prefix of " << length << " bytes: " << read.error.toStdString();
            EXPECT_EQ(read.content, whole);
        } else {
            EXPECT_FALSE(read.ok()) << "prefix of " << length << " bytes";
            EXPECT_TRUE(read.error.startsWith(QStringLiteral("the file ends too early")));
        }
    }
    QByteArray loneCr = bytes;
    loneCr.chop(1);
    EXPECT_TRUE(parseJobFile(loneCr).ok());
    const qsizetype lastLine = bytes.lastIndexOf("\r\n", lastItemComplete - 1) + 2;
    const QByteArray unquotedLast = bytes.left(lastLine) + "12.5";
    const JobFileReadResult read = parseJobFile(unquotedLast);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.content[JobField::outside(5, 10)], "12.5");
}

TEST(JobFile, NotesOfAFileWithLfLineEndsAreReadWithCrLfAndWrittenSo)
{
    QByteArray bytes = formatJobFile(jobFileContent(fullJob()));
    bytes.replace("\r\n", "\n");
    const JobFileReadResult read = parseJobFile(bytes);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.content, jobFileContent(fullJob()));
    const QByteArray saved = formatJobFile(read.content);
    EXPECT_EQ(saved.count('\n'), saved.count("\r\n"));
    EXPECT_EQ(saved.count('\r'), saved.count("\r\n"));
}

TEST(JobFile, MalformedFilesAreRejectedWithAMessageNamingTheFile)
{
    QTemporaryDir dir;
    const QByteArray valid = formatJobFile(jobFileContent(Job()));
    QByteArray badScale = valid;
    badScale.replace(",1,", ",1.5,");
    QByteArray wordScale = valid;
    wordScale.replace(",1,", ",yes,");
    QByteArray twoScale = valid;
    twoScale.replace(",1,", ",2,");
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 7919) % 256));
    const std::pair<const char *, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"scale 1.5", badScale},
        {"scale yes", wordScale},
        {"scale 2", twoScale},
        {"binary", binary},
        {"one line", QByteArray("\"[COMMON]\"\r\n")},
        {"open quote", QByteArray("\"[COMMON]\"\r\n\"abc")},
    };
    for (const auto &[name, bytes] : cases) {
        const QString path = dir.filePath(QString::fromUtf8(name) + QStringLiteral(".bm"));
        ASSERT_TRUE(writeBytes(path, bytes));
        const JobFileReadResult read = readJobFile(path);
        EXPECT_FALSE(read.ok()) << name;
        EXPECT_TRUE(read.error.contains(path)) << name << ": " << read.error.toStdString();
    }
    EXPECT_TRUE(parseJobFile(badScale).error.contains(QStringLiteral("section 1")));
}

TEST(JobFile, MissingFileIsReportedWithItsName)
{
    const JobFileReadResult read = readJobFile(QStringLiteral("/nonexistent/job.bm"));
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.error.contains(QStringLiteral("/nonexistent/job.bm")));
}

TEST(JobFile, ControlCharactersAndLongTextsAreSavedAndOpenedAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.bm"));
    Job job;
    job.setCommon(CommonText::Customer, QString::fromUtf16(u"a\0b\x01\x1a\x1b[2J\x7f\tc", 12));
    job.setCommon(CommonText::Description, QString(100000, u'\u00e9'));
    job.section(2).setNotes(QStringLiteral("&lt;b&gt; \u2022 \U0001F600\r\n,\r\n\r\n"));
    job.section(3).setView(QString::fromUtf16(u"\r\n\x0b\x0c\u2028"));
    // A NUL would make the file read as binary: the job never holds one.
    EXPECT_EQ(job.common(CommonText::Customer), QString::fromUtf16(u"ab\x01\x1a\x1b[2J\x7f\tc"));
    ASSERT_TRUE(writeJobFile(jobFileContent(job), path).ok());
    const JobFileReadResult read = readJobFile(path);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.content, jobFileContent(job));
}

TEST(JobFile, OnlyARegularFileOfAtMostTheLimitIsRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.bm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &path : {fifo, QStringLiteral("/dev/zero"), dir.path()}) {
        const JobFileReadResult read = readJobFile(path);
        EXPECT_EQ(read.error, "Cannot open " + path + ": it is not a regular file.");
    }

    const QString large = dir.filePath(QStringLiteral("large.bm"));
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kMaxJobFileBytes + 1));
    file.close();
    EXPECT_EQ(readJobFile(large).error,
              "Cannot open " + large + ": it is 32 MB, and a Corvane job file has at most 32 MB.");

    // At the limit, a file is read: this one is a job whose note fills it up.
    Job job;
    const qsizetype bare = formatJobFile(jobFileContent(job)).size();
    job.section(1).setNotes(QString(kMaxJobFileBytes - bare, u'n'));
    ASSERT_TRUE(writeJobFile(jobFileContent(job), large).ok());
    ASSERT_EQ(QFileInfo(large).size(), kMaxJobFileBytes);
    const JobFileReadResult read = readJobFile(large);
    EXPECT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.content, jobFileContent(job));
}

TEST(JobFile, SaveIntoAReadOnlyFolderFailsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner | QFile::ReadOther |
                                                      QFile::ExeOther));
    const QString folder = dir.filePath(QStringLiteral("jobs"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath(QStringLiteral("job.bm"));
    const QByteArray old = formatJobFile(jobFileContent(Job()));
    ASSERT_TRUE(writeBytes(path, old));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));

    const int status = test::runInChild(
        [&] {
            const JobFileWriteResult result = writeJobFile(jobFileContent(fullJob()), path);
            return result.ok() ? 1 : result.error.contains(path) ? 0 : 2;
        },
        true);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("job.bm")});
}

TEST(JobFile, SaveOnAFullDiskFailsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.bm"));
    const QByteArray old = formatJobFile(jobFileContent(Job()));
    ASSERT_TRUE(writeBytes(path, old));
    const JobFileContent next = jobFileContent(fullJob());
    const qsizetype size = formatJobFile(next).size();
    for (long limit : {0L, 1L, 100L, 1000L, long(size) - 1}) {
        const int status = test::runWithFileSizeLimit(
            [&] { return writeJobFile(next, path).ok() ? 1 : 0; }, limit);
        EXPECT_EQ(status, 0) << "limit " << limit;
        EXPECT_EQ(readBytes(path), old) << "limit " << limit;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("job.bm")});
    }
    EXPECT_EQ(test::runWithFileSizeLimit([&] { return writeJobFile(next, path).ok() ? 0 : 1; },
                                         long(size)),
              0);
    EXPECT_EQ(readBytes(path), formatJobFile(next));
}

TEST(JobFile, SaveIntoAMissingFolderFails)
{
    const JobFileWriteResult result =
        writeJobFile(jobFileContent(Job()), QStringLiteral("/nonexistent/folder/job.bm"));
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.error.contains(QStringLiteral("/nonexistent/folder/job.bm")));
}

TEST(JobFile, ProposedNameJoinsTheFourCommonTexts)
{
    EXPECT_EQ(proposedFileName(Job()), "---");
    EXPECT_EQ(proposedFileName(fullJob()),
              QStringLiteral("Acme, Inc.-BR-100-C-Bracket 90\u00b0 \u00d8 12, caf\u00e9"));
}

} // namespace
} // namespace corvane

namespace corvane {
namespace {

TEST(JobFile, SaveKilledAtAnyMomentLeavesAWholeJob)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.bm"));
    Job first;
    first.setCommon(CommonText::Customer, QStringLiteral("Old"));
    Job second = first;
    second.setCommon(CommonText::Customer, QStringLiteral("New"));
    second.section(1).setNotes(QString(20000, u'n'));
    const JobFileContent old = jobFileContent(first);
    const JobFileContent fresh = jobFileContent(second);
    ASSERT_TRUE(writeJobFile(old, path).ok());

    int kills = 0;
    for (int moment = 0; moment < 40; ++moment) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // Saves the two versions by turns until killed.
            for (int i = 0;; ++i)
                writeJobFile(i % 2 ? old : fresh, path);
        }
        ::usleep(useconds_t(200 + moment * 150));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        kills += WIFSIGNALED(status);
        const JobFileReadResult read = readJobFile(path);
        ASSERT_TRUE(read.ok()) << "killed after " << moment << ": " << read.error.toStdString();
        EXPECT_TRUE(read.content == old || read.content == fresh) << "killed after " << moment;
    }
    EXPECT_EQ(kills, 40);
}

} // namespace
} // namespace corvane
