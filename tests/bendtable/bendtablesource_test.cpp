#include "bendtable/bendtablesource.h"

#include "xlsbuilder.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {
namespace {

using test::readBytes;
using test::writeBytes;

QString fixture(const char *name)
{
    return QStringLiteral(CORVANE_SOURCE_DIR "/tests/bendtable/data/") + QLatin1String(name);
}

// A bend table of one record whose version tells the workbooks apart.
QByteArray tableWithVersion(const QString &version, const QString &sheet = "BendTbl")
{
    QByteArray records;
    const QStringList header = {"material", "thickness",       "vee",    "standard",
                                "k_factor", "internal_radius", "version"};
    for (int c = 0; c < header.size(); ++c)
        records += test::labelCell(0, c, header[c], false);
    records += test::labelCell(1, 0, QStringLiteral("MS"), false) + test::numberCell(1, 1, 2) +
               test::numberCell(1, 2, 16) + test::labelCell(1, 3, "YES", false) +
               test::numberCell(1, 4, 0.43) + test::numberCell(1, 5, 2.56) +
               test::labelCell(1, 6, version, false);
    return test::simpleWorkbook(sheet, records);
}

// Moves a file's times into the past, so that it no longer counts as just written.
void age(const QString &path)
{
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 60;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// Writes to a new file and renames it over the old, as a spreadsheet program saves.
bool replace(const QString &path, const QByteArray &bytes)
{
    const QString temporary = path + QStringLiteral(".new");
    return writeBytes(temporary, bytes) && ::rename(QFile::encodeName(temporary).constData(),
                                                    QFile::encodeName(path).constData()) == 0;
}

class BendTableSourceTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.filePath(QStringLiteral("BendTbl.xls")); }
    QString shown() const { return QDir::toNativeSeparators(path()); }

    QTemporaryDir m_dir;
};

TEST_F(BendTableSourceTest, ReadsTheWorkbook)
{
    ASSERT_TRUE(writeBytes(path(), tableWithVersion(QStringLiteral("v1"))));
    BendTableSource source(path());
    const auto table = source.table();
    ASSERT_TRUE(table);
    EXPECT_EQ(source.error(), QString());
    EXPECT_EQ(table->version(), QStringLiteral("v1"));
    EXPECT_TRUE(table->lookup(QStringLiteral("MS"), 2, 16).found());
}

TEST_F(BendTableSourceTest, EveryFailureNamesTheFileAndGivesAnEmptyTable)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        QString error;
    };
    const QByteArray workbook = tableWithVersion(QStringLiteral("v1"));
    const std::vector<Case> cases = {
        {"garbage", QByteArray("\x01\x02garbage\xff", 10),
         "The bend table " + shown() + " is not an Excel 97-2003 workbook (.xls)"},
        {"CSV named .xls", "material,thickness,vee\nMS,2,16\n",
         "The bend table " + shown() + " is not an Excel 97-2003 workbook (.xls)"},
        {"empty file",
         {},
         "The bend table " + shown() + " is empty, not an Excel 97-2003 workbook (.xls)"},
        {"xlsx", QByteArray("PK\x03\x04", 4) + QByteArray(300, '\0'),
         "The bend table " + shown() +
             " is an Excel 2007 or later workbook (.xlsx) or another "
             "zip file, not an Excel 97-2003 workbook (.xls)"},
        {"no sheet BendTbl", tableWithVersion(QStringLiteral("v1"), QStringLiteral("Sheet1")),
         "The bend table " + shown() + " has no sheet named BendTbl"},
        {"password", readBytes(fixture("password-xlwt.xls")),
         "The bend table " + shown() + " is protected by a password"},
        {"missing column",
         test::simpleWorkbook(QStringLiteral("BendTbl"),
                              test::labelCell(0, 0, QStringLiteral("material"), false)),
         "The bend table " + shown() + " has no column thickness"},
        {"truncated", workbook.left(workbook.size() - 600),
         "Cannot read the bend table " + shown() + ": the workbook is damaged: "},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(replace(path(), c.bytes)) << c.name;
        BendTableSource source(path());
        const auto table = source.table();
        ASSERT_TRUE(table) << c.name;
        EXPECT_TRUE(table->records().empty()) << c.name;
        EXPECT_TRUE(source.error().startsWith(c.error))
            << c.name << ": " << source.error().toStdString();
    }
}

TEST_F(BendTableSourceTest, WorkbookCutShortAnywhereGivesAnErrorOrItsRecords)
{
    const QByteArray workbook = readBytes(QStringLiteral(CORVANE_SOURCE_DIR "/data/BendTbl.xls"));
    BendTableSource source(path());
    for (qsizetype size = 0; size < workbook.size(); size += 512) {
        ASSERT_TRUE(replace(path(), workbook.left(size)));
        const auto table = source.table();
        ASSERT_TRUE(table) << size;
        EXPECT_TRUE(table->records().empty()) << size;
        EXPECT_TRUE(source.error().contains(shown())) << size;
    }
}

TEST_F(BendTableSourceTest, MissingFileIsNotFound)
{
    BendTableSource source(path());
    ASSERT_TRUE(source.table());
    EXPECT_TRUE(source.table()->records().empty());
    EXPECT_EQ(source.error(), "Bend table not found: " + shown());
}

TEST_F(BendTableSourceTest, FolderOrFifoIsNoRegularFileAndNeverBlocks)
{
    ASSERT_TRUE(QDir().mkpath(path()));
    BendTableSource folder(path());
    EXPECT_TRUE(folder.table()->records().empty());
    EXPECT_EQ(folder.error(), "The bend table " + shown() + " is not a regular file");

    const QString fifo = m_dir.filePath(QStringLiteral("fifo.xls"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    BendTableSource pipe(fifo);
    EXPECT_TRUE(pipe.table()->records().empty());
    EXPECT_EQ(pipe.error(),
              "The bend table " + QDir::toNativeSeparators(fifo) + " is not a regular file");
}

TEST_F(BendTableSourceTest, UnreadableFileSaysWhy)
{
    ASSERT_TRUE(writeBytes(path(), tableWithVersion(QStringLiteral("v1"))));
    ASSERT_TRUE(QFile::setPermissions(
        m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                          QFileDevice::ExeOther | QFileDevice::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::WriteOwner));
    const QString expected = "Cannot read the bend table " + shown() + ": Permission denied";
    const int status = test::runInChild(
        [&] {
            BendTableSource source(path());
            const auto table = source.table();
            return table && table->records().empty() && source.error() == expected ? 0 : 1;
        },
        true);
    EXPECT_EQ(status, 0);
}

TEST_F(BendTableSourceTest, WorkbookTooLargeIsRefused)
{
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(BendTableSource::kMaxBytes + 1)); // sparse: no disk used
    file.close();
    BendTableSource source(path());
    EXPECT_TRUE(source.table()->records().empty());
    EXPECT_EQ(source.error(), "The bend table " + shown() +
                                  " is too large (64 MB); a bend table workbook has at most "
                                  "64 MB");
}

TEST_F(BendTableSourceTest, ReplacedWorkbookIsSeenAtTheNextCall)
{
    ASSERT_TRUE(writeBytes(path(), tableWithVersion(QStringLiteral("v1"))));
    age(path());
    BendTableSource source(path());
    EXPECT_EQ(source.table()->version(), QStringLiteral("v1"));

    // Saved again: same size, other content, another inode.
    ASSERT_TRUE(replace(path(), tableWithVersion(QStringLiteral("v2"))));
    EXPECT_EQ(source.table()->version(), QStringLiteral("v2"));

    // Written in place within the same second: same inode and size.
    ASSERT_TRUE(writeBytes(path(), tableWithVersion(QStringLiteral("v3"))));
    EXPECT_EQ(source.table()->version(), QStringLiteral("v3"));
}

TEST_F(BendTableSourceTest, UnchangedWorkbookIsReadOnce)
{
    ASSERT_TRUE(writeBytes(path(), tableWithVersion(QStringLiteral("v1"))));
    age(path());
    BendTableSource source(path());
    const auto first = source.table();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(source.table(), first);
    EXPECT_EQ(source.readCount(), 1);

    // Written in place and aged again: the change time still tells.
    ASSERT_TRUE(writeBytes(path(), tableWithVersion(QStringLiteral("v2"))));
    age(path());
    EXPECT_EQ(source.table()->version(), QStringLiteral("v2"));
    EXPECT_EQ(source.readCount(), 2);
}

TEST_F(BendTableSourceTest, JustWrittenWorkbookIsReadAgain)
{
    // A second save within the same tick of the file system's clock would leave every time
    // unchanged; a file this fresh is not trusted to stay as read.
    ASSERT_TRUE(writeBytes(path(), tableWithVersion(QStringLiteral("v1"))));
    BendTableSource source(path());
    source.table();
    source.table();
    EXPECT_EQ(source.readCount(), 2);
}

TEST_F(BendTableSourceTest, MendedWorkbookWorksAgain)
{
    BendTableSource source(path());
    EXPECT_TRUE(source.table()->records().empty());
    EXPECT_TRUE(source.error().startsWith(QStringLiteral("Bend table not found")));

    ASSERT_TRUE(replace(path(), "not a workbook"));
    EXPECT_TRUE(source.table()->records().empty());
    EXPECT_TRUE(source.error().contains(QStringLiteral("not an Excel 97-2003 workbook")));

    ASSERT_TRUE(replace(path(), tableWithVersion(QStringLiteral("v1"))));
    EXPECT_EQ(source.table()->version(), QStringLiteral("v1"));
    EXPECT_EQ(source.error(), QString());

    ASSERT_TRUE(QFile::remove(path()));
    EXPECT_TRUE(source.table()->records().empty());
    EXPECT_EQ(source.error(), "Bend table not found: " + shown());
}

} // namespace
} // namespace corvane
