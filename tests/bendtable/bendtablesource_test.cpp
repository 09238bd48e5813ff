#include "bendtable/bendtablesource.h"

#include "ground/filewrite.h"
#include "testsupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace corvane {
namespace {

using namespace test;

// A bend table of one record whose version tells the workbooks apart.
QByteArray tableWithVersion(const char *version, const char *sheet = "BendTbl")
{
    return test::textWorkbook(
        {{"material", "thickness", "vee", "standard", "k_factor", "internal_radius", "version"},
         {"MS", "2", "16", "YES", "0.43", "2.56", version}},
        sheet);
}

// Moves a file's modification time into the past, so that it no longer counts as just written.
void age(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime));
}

class BendTableSourceTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("BendTbl.xls")); }
    QString shown() const { return QDir::toNativeSeparators(path()); }

    QTemporaryDir m_dir;
};

TEST_F(BendTableSourceTest, EveryFailureNamesTheFileAndGivesAnEmptyTableAndAFifoNeverBlocks)
{
    // The reader's words for each kind of failure follow the file's name. The empty file is read
    // as it is, without the byte more that the source asks for to see a file grow.
    const QString table = "The bend table " + shown();
    const std::pair<QByteArray, QString> cases[] = {
        {{}, table + " is empty, not an Excel 97-2003 workbook (.xls)"},
        {tableWithVersion("v1", "Sheet1"), table + " has no sheet named BendTbl"},
        {test::readBytes(CORVANE_SOURCE_DIR "/tests/bendtable/data/password-xlwt.xls"),
         table + " is protected by a password"},
        {tableWithVersion("v1").chopped(600),
         "Cannot read the bend table " + shown() + ": the workbook is damaged: "},
    };
    for (const auto &[bytes, error] : cases) {
        ASSERT_EQ(replaceFile(path(), bytes), QString());
        BendTableSource source(path());
        // The table, empty, says it, for the pages computed from it.
        const QString readError = source.table()->readError();
        EXPECT_TRUE(readError.startsWith(error)) << readError.toStdString();
        EXPECT_EQ(source.error(), readError);
    }

    // Only a regular file of at most 64 MB is read.
    const QString fifo = m_dir.filePath(QStringLiteral("fifo.xls"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile large(path()); // sparse: no disk used
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(BendTableSource::kMaxBytes + 1));
    large.close();
    for (const auto &[file, problem] :
         {std::pair(fifo, " is not a regular file"),
          std::pair(path(), " is too large (64 MB); a bend table workbook has at most 64 MB")}) {
        BendTableSource source(file);
        EXPECT_EQ(source.table()->readError(),
                  "The bend table " + QDir::toNativeSeparators(file) + problem);
    }
    // A workbook too large is not opened again until it changes.
    BendTableSource tooLarge(path());
    tooLarge.table();
    tooLarge.table();
    EXPECT_EQ(tooLarge.readCount(), 1);

    // A folder that the operator may enter, a file that he may not read.
    ASSERT_TRUE(writeBytes(path(), tableWithVersion("v1")));
    ASSERT_TRUE(
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::WriteOwner));
    const QString expected = "Cannot read the bend table " + shown() + ": Permission denied";
    const int status = test::runInChild(
        [&] {
            BendTableSource source(path());
            return source.table()->records().empty() && source.error() == expected;
        },
        true);
    EXPECT_EQ(status, 1);
}

TEST_F(BendTableSourceTest, WorkbookIsReadAgainWhenItMayHaveChangedOrWasMissing)
{
    BendTableSource source(path());
    source.table();
    EXPECT_EQ(source.error(), "Bend table not found: " + shown());

    // Just written: a second save within the same tick of the file system's clock would leave
    // every time unchanged, so a file this fresh is not trusted to stay as read.
    ASSERT_TRUE(writeBytes(path(), tableWithVersion("v1")));
    source.table();
    EXPECT_TRUE(source.table()->lookup(QStringLiteral("MS"), 2, 16).found());
    EXPECT_EQ(source.error(), QString());
    EXPECT_EQ(source.readCount(), 3);

    // Aged, it is read once.
    age(path());
    const auto first = source.table();
    EXPECT_EQ(source.table(), first);
    EXPECT_EQ(source.readCount(), 4);

    // Written in place and aged again: the change time still tells.
    ASSERT_TRUE(writeBytes(path(), tableWithVersion("v2")));
    age(path());
    EXPECT_EQ(source.table()->version(), QStringLiteral("v2"));
    EXPECT_EQ(source.readCount(), 5);

    // Saved again: same size, other content, another inode.
    ASSERT_EQ(replaceFile(path(), tableWithVersion("v3")), QString());
    age(path());
    EXPECT_EQ(source.table()->version(), QStringLiteral("v3"));

    ASSERT_TRUE(QFile::remove(path()));
    EXPECT_TRUE(source.table()->records().empty());
    EXPECT_EQ(source.error(), "Bend table not found: " + shown());
}

} // namespace
} // namespace corvane
