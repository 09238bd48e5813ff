#include "shell/ground/jobfile.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace corvane {
namespace {

using test::readBytes;
using test::writeBytes;

// A job with every field set: commas, line breaks in notes, control characters, non-ASCII texts
// that all fit Windows-1252.
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

TEST(JobFile, UntouchedJobIsSixtyEightLinesAndTextsTakeTheirPlaces)
{
    const QByteArray bytes = formatJobFile(jobFileContent(Job()));
    EXPECT_EQ(bytes.count("\r\n"), 68);
    const QByteArray emptyBends = QByteArray("\"\",\"\",\"\"\r\n").repeated(10) + "\"\"\r\n";
    EXPECT_TRUE(bytes.startsWith("\"[COMMON]\"\r\n\"\",\"\",\"\",\"\"\r\n\"\",\"\",\"\"\r\n"
                                 "\"[SECITION 1]\"\r\n\"\",\"\",1,\"\"\r\n" +
                                 emptyBends));
    EXPECT_TRUE(bytes.endsWith("\"[SECITION 5]\"\r\n\"\",\"\",1,\"\"\r\n" + emptyBends));
}

TEST(JobFile, FullJobIsSavedAndReadBackIdentical)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.bm"));
    const JobFileContent saved = jobFileContent(fullJob());
    ASSERT_TRUE(writeJobFile(saved, path).ok());

    // Every character fits Windows-1252, so the file is written in it; each text in its place.
    const QByteArray bytes = readBytes(path);
    EXPECT_EQ(bytes.count("\r\n"), 68 + 5 * 3);
    EXPECT_TRUE(bytes.startsWith(
        "\"[COMMON]\"\r\n\"Acme, Inc.\",\"BR-100\",\"C\",\"Bracket 90\xb0 "
        "\xd8 12, caf\xe9\"\r\n\"MS\",\"2\",\"12\"\r\n\"[SECITION 1]\"\r\n\"View 1, "));
    EXPECT_TRUE(
        bytes.contains("\",\"45\",1,\"line one, with comma\r\nline \xe9 two\r\n\r\nlast\"\r\n"
                       "\"10\",\"45\",\"12\"\r\n\"11\",\"-90\",\"16\"\r\n"));

    const JobFileReadResult read = readJobFile(path);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.content, saved);
}

TEST(JobFile, TextsAreWrittenInWindows1252OnlyWhenTheyReadBackFromIt)
{
    // In Windows-1252 an e acute and two euro signs are E9 80 80, the UTF-8 of U+9000, and
    // "\u00c3\u00a9" is C3 A9, the UTF-8 of an e acute: the reader takes a file of valid UTF-8
    // as UTF-8, so these are written in UTF-8, as are texts beyond Windows-1252.
    const std::pair<QString, QByteArray> cases[] = {
        {QStringLiteral("caf\u00e9 \u20ac"), QByteArray("caf\xe9 \x80")},
        {QStringLiteral("\u00e9\u20ac\u20ac"), QStringLiteral("\u00e9\u20ac\u20ac").toUtf8()},
        {QStringLiteral("\u00c3\u00a9"), QStringLiteral("\u00c3\u00a9").toUtf8()},
        {QStringLiteral("\u0141\u00f3d\u017a \u6d4b \U0001F600 \u2028"),
         QStringLiteral("\u0141\u00f3d\u017a \u6d4b \U0001F600 \u2028").toUtf8()},
    };
    for (const auto &[text, bytes] : cases) {
        JobFileContent content;
        content[JobField::common(0)] = text;
        content[JobField::notes(5)] = text + QStringLiteral("\r\n") + text;
        const QByteArray file = formatJobFile(content);
        EXPECT_TRUE(file.contains("\"" + bytes + "\"")) << text.toStdString();
        const JobFileReadResult read = parseJobFile(file);
        EXPECT_EQ(read.content, content) << text.toStdString() << read.error.toStdString();
    }
}

TEST(JobFile, HandEditedFilesAreReadByTheItemRule)
{
    // Blanks around items, junk after a closing quote, LF or CR line ends (the notes then read
    // with CR LF): all read as the file that was saved.
    const QByteArray saved = formatJobFile(jobFileContent(fullJob()));
    QByteArray blanks = saved;
    blanks.replace("\"[COMMON]\"\r\n\"Acme, Inc.\",", "  [COMMON]  \n  \"Acme, Inc.\"x ,");
    blanks.replace(",1,", ",  1  ,");
    QByteArray lf = saved;
    lf.replace("\r\n", "\n");
    QByteArray cr = saved;
    cr.replace("\r\n", "\r");
    for (const QByteArray &bytes : {blanks, lf, cr}) {
        const JobFileReadResult read = parseJobFile(bytes);
        EXPECT_EQ(read.content, jobFileContent(fullJob())) << read.error.toStdString();
    }
}

TEST(JobFile, AFileCutShortIsRejectedButOneThatOnlyLacksItsLastLineEndIsRead)
{
    const QByteArray bytes = formatJobFile(jobFileContent(fullJob()));
    const JobFileContent whole = parseJobFile(bytes).content;
    // The last item is whole once its closing quote is there: another editor may have left the
    // last line without a line end, or with a lone CR.
    const qsizetype lastItemComplete = bytes.size() - 2;
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        const JobFileReadResult read = parseJobFile(bytes.left(length));
        if (length >= lastItemComplete) {
            EXPECT_EQ(read.content, whole) << length << ": " << read.error.toStdString();
        } else {
            EXPECT_TRUE(read.error.startsWith(QStringLiteral("the file ends too early")))
                << "prefix of " << length << " bytes";
        }
    }
    // So may the last item be unquoted.
    const qsizetype lastLine = bytes.lastIndexOf("\r\n", lastItemComplete - 1) + 2;
    const JobFileReadResult read = parseJobFile(bytes.left(lastLine) + "12.5");
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.content[JobField::outside(5, 10)], "12.5");
}

TEST(JobFile, MalformedFilesAreRejectedSayingWhatIsWrong)
{
    const QByteArray valid = formatJobFile(jobFileContent(Job()));
    const auto withScale = [&](const char *scale) {
        return QByteArray(valid).replace(",1,", QByteArray(",") + scale + ",");
    };
    const std::pair<QByteArray, const char *> cases[] = {
        {{}, "the file ends too early: item 1 of 188 (in the common details) is missing"},
        {"\"[COMMON]\"\r\n",
         "the file ends too early: item 2 of 188 (in the common details) is missing"},
        {"\"[COMMON]\"\r\n\"abc",
         "the file ends too early: item 2 of 188 (in the common details) is missing"},
        {valid.left(valid.indexOf("[SECITION 3]") + 15),
         "the file ends too early: item 82 of 188 (in section 3) is missing"},
        {withScale("1.5"), "the 1:1 Scale item of section 1 is \"1.5\", not 0 or 1"},
        {withScale("yes"), "the 1:1 Scale item of section 1 is \"yes\", not 0 or 1"},
        {withScale("2"), "the 1:1 Scale item of section 1 is \"2\", not 0 or 1"},
        {QByteArray("\"[COMMON]\"\0\r\n", 13),
         "it is not a Corvane job file (it holds binary data)"},
    };
    for (const auto &[bytes, error] : cases)
        EXPECT_EQ(parseJobFile(bytes).error, error);

    // Read from disk, the message names the file.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.bm"));
    ASSERT_TRUE(writeBytes(path, withScale("2")));
    EXPECT_EQ(readJobFile(path).error,
              "Cannot open " + path + ": the 1:1 Scale item of section 1 is \"2\", not 0 or 1.");
    EXPECT_EQ(readJobFile(QStringLiteral("/nonexistent/job.bm")).error,
              "Cannot open /nonexistent/job.bm: No such file or directory.");
}

TEST(JobFile, OnlyARegularFileOfAtMostTheLimitIsRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.bm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &path : {fifo, QStringLiteral("/dev/zero"), dir.path()})
        EXPECT_EQ(readJobFile(path).error, "Cannot open " + path + ": it is not a regular file.");

    const QString large = dir.filePath(QStringLiteral("large.bm"));
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(kMaxJobFileBytes + 1));
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
    EXPECT_EQ(read.content, jobFileContent(job)) << read.error.toStdString();
}

TEST(JobFile, SaveIntoAFolderClosedToTheOperatorOrMissingFailsAndKeepsTheOldFile)
{
    // The file is the operator's to write, its folder is not.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.bm"));
    const QByteArray old = formatJobFile(jobFileContent(Job()));
    ASSERT_TRUE(writeBytes(path, old));
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOther);
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther));
    const auto fails = [&] {
        return writeJobFile(jobFileContent(fullJob()), path).error.contains(path);
    };
    EXPECT_EQ(test::runInChild(fails, true), 1);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("job.bm")});

    const QString missing = QStringLiteral("/nonexistent/folder/job.bm");
    EXPECT_TRUE(writeJobFile(jobFileContent(Job()), missing).error.contains(missing));
}

TEST(JobFile, SaveOnAFullDiskFailsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.bm"));
    const QByteArray old = formatJobFile(jobFileContent(Job()));
    ASSERT_TRUE(writeBytes(path, old));
    const JobFileContent next = jobFileContent(fullJob());
    const long size = long(formatJobFile(next).size());
    for (long limit : {0L, 1L, 100L, 1000L, size - 1}) {
        EXPECT_EQ(test::runWithFileSizeLimit([&] { return writeJobFile(next, path).ok(); }, limit),
                  0)
            << "limit " << limit;
        EXPECT_EQ(readBytes(path), old) << "limit " << limit;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("job.bm")});
    }
    EXPECT_EQ(test::runWithFileSizeLimit([&] { return !writeJobFile(next, path).ok(); }, size), 0);
    EXPECT_EQ(readBytes(path), formatJobFile(next));
}

TEST(JobFile, ProposedNameJoinsTheFourCommonTexts)
{
    EXPECT_EQ(proposedFileName(Job()), "---");
    EXPECT_EQ(proposedFileName(fullJob()),
              QStringLiteral("Acme, Inc.-BR-100-C-Bracket 90\u00b0 \u00d8 12, caf\u00e9"));
}

} // namespace
} // namespace corvane
