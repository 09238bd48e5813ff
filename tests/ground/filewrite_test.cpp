#include "ground/filewrite.h"

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

using namespace test;

ino_t inodeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

QString cannotWrite(const QString &path, const char *why)
{
    return QStringLiteral("Cannot write %1: %2").arg(path, QString::fromUtf8(why));
}

TEST(FileWrite, OverwriteWritesInPlaceUnlessAnExportRunsOrTheFileIsALink)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wb1.htm"));
    ASSERT_TRUE(writeBytes(path, QByteArray(9000, 'a')));
    const ino_t inode = inodeOf(path);
    // Shorter, longer, equal, empty and back: no tail of an earlier, longer file is left.
    for (const QByteArray &bytes :
         {QByteArray(10, 'b'), QByteArray(20000, 'c'), QByteArray(20000, 'd'),
          QByteArray(19999, 'e'), QByteArray(), QByteArray(3, 'f')}) {
        EXPECT_EQ(overwriteFile(path, bytes), "");
        EXPECT_EQ(readBytes(path), bytes) << "writing " << bytes.size() << " bytes";
    }
    EXPECT_EQ(inodeOf(path), inode);

    // While an export runs, a reader of the old file keeps it whole; afterwards the file that
    // readers open is rewritten where it is again.
    QFile reader(path);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    {
        WholeFileWrites exporting;
        EXPECT_EQ(overwriteFile(path, "new"), "");
    }
    EXPECT_EQ(reader.readAll(), "fff");
    EXPECT_EQ(readBytes(path), "new");
    const ino_t replaced = inodeOf(path);
    EXPECT_EQ(overwriteFile(path, "newer"), "");
    EXPECT_EQ(inodeOf(path), replaced);

    // A new file is made; a link, symbolic or hard, is replaced, never written through into
    // the file it shares; nothing is left beside the files.
    const QString fresh = dir.filePath(QStringLiteral("sd1.bmp"));
    EXPECT_EQ(overwriteFile(fresh, "BM"), "");
    const QString symbolic = dir.filePath(QStringLiteral("md1.bmp"));
    const QString hard = dir.filePath(QStringLiteral("wb2.htm"));
    ASSERT_TRUE(QFile::link(fresh, symbolic));
    ASSERT_EQ(::link(QFile::encodeName(fresh).constData(), QFile::encodeName(hard).constData()), 0);
    for (const QString &link : {symbolic, hard}) {
        EXPECT_EQ(overwriteFile(link, "new"), "");
        EXPECT_EQ(readBytes(link), "new");
        EXPECT_EQ(readBytes(fresh), "BM");
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({"md1.bmp", "sd1.bmp", "wb1.htm", "wb2.htm"}));
}

TEST(FileWrite, ReportsWhatStandsInTheWayAndWritesWhereTheOperatorMay)
{
    // A folder open to the unprivileged child of test::runInChild.
    QTemporaryDir top;
    const QDir dir(top.path());
    QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::WriteOther |
                                          QFile::ReadOther | QFile::ExeOther);
    const QString folderInTheWay = dir.filePath(QStringLiteral("wb1.htm"));
    ASSERT_TRUE(QDir().mkpath(folderInTheWay));
    const QString missing = dir.filePath(QStringLiteral("gone/wb1.htm"));
    for (const auto &[path, why] : {std::pair(folderInTheWay, "Is a directory"),
                                    std::pair(missing, "No such file or directory")}) {
        EXPECT_EQ(writeProblem(path), cannotWrite(path, why));
        EXPECT_EQ(overwriteFile(path, "page"), cannotWrite(path, why));
    }

    // As an operator, not root: in his folder a read-only file is refused by a save but replaced
    // when generated; in a folder closed to him a writable file is rewritten, a new one reported.
    const QString readOnly = dir.filePath(QStringLiteral("sd1.bmp"));
    const QString closed = dir.filePath(QStringLiteral("closed"));
    const QString writableThere = closed + QStringLiteral("/md1.bmp");
    const QString newThere = closed + QStringLiteral("/wb1.htm");
    ASSERT_TRUE(QDir().mkpath(closed));
    ASSERT_TRUE(writeBytes(readOnly, "old") && writeBytes(writableThere, "old"));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadOther);
    QFile::setPermissions(writableThere, QFile::permissions(writableThere) | QFile::WriteOther);
    QFile::setPermissions(closed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadOther | QFile::ExeOther);
    const int status = test::runInChild(
        [&] {
            return writeProblem(dir.filePath(QStringLiteral("new.pdf"))).isEmpty() &&
                   writeProblem(readOnly) == cannotWrite(readOnly, "the file is read-only") &&
                   overwriteFile(readOnly, "new").isEmpty() &&
                   writeProblem(newThere) == cannotWrite(newThere, "Permission denied") &&
                   overwriteFile(newThere, "new") == cannotWrite(newThere, "Permission denied") &&
                   overwriteFile(writableThere, "new").isEmpty();
        },
        true);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(readBytes(readOnly), "new");
    EXPECT_EQ(readBytes(writableThere), "new");
    EXPECT_EQ(dir.entryList(QDir::Files), QStringList{QStringLiteral("sd1.bmp")});
    EXPECT_EQ(QDir(closed).entryList(QDir::Files), QStringList{QStringLiteral("md1.bmp")});
}

TEST(FileWrite, MakeFolderMakesTheFoldersAboveOrNamesAFileInTheWayOrTheSystemsReason)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("file"));
    ASSERT_TRUE(writeBytes(file, "a file"));
    for (const QString &path : {file, file + QStringLiteral("/a/b")})
        EXPECT_EQ(makeFolder(path),
                  QStringLiteral("Cannot create the folder %1: %2 is a file, not a folder")
                      .arg(path, file));
    const QString made = dir.filePath(QStringLiteral("a/b"));
    EXPECT_EQ(makeFolder(made), "");
    // A folder as open as the operator's umask allows, as mkdir makes them.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat info = {};
    ASSERT_EQ(::stat(QFile::encodeName(made).constData(), &info), 0);
    EXPECT_EQ(info.st_mode, S_IFDIR | (0777 & ~mask));
    // On a read-only file system, a folder that is there will do and a new one is refused.
    const int status = test::runOnOwnFileSystem(made, "ro", [&] {
        return makeFolder(made).isEmpty() &&
               makeFolder(made + QStringLiteral("/c/d")) ==
                   QStringLiteral("Cannot create the folder %1/c/d: Read-only file system")
                       .arg(made);
    });
    if (status == test::kCannotMount)
        GTEST_SKIP() << "a file system of its own needs root";
    EXPECT_EQ(status, 1);
}

TEST(FileWrite, NewContentsThatDoNotFitLeaveTheOldFileAndAFullDiskIsNamed)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("md1.bmp"));
    const QByteArray old(6000, 'o');
    const QByteArray next(8000, 'n');
    // A file size limit stands for a full disk: the write fails where the file would pass it,
    // also over bytes the file already has, and the system's reason reaches the message.
    const auto writes = [&](const QByteArray &bytes, long limit, const QString &result) {
        return test::runWithFileSizeLimit([&] { return overwriteFile(path, bytes) == result; },
                                          limit) == 1;
    };
    for (long limit : {0L, 100L, 4096L, 7999L}) {
        ASSERT_TRUE(writeBytes(path, old));
        EXPECT_TRUE(writes(next, limit, cannotWrite(path, "File too large"))) << limit;
        EXPECT_EQ(readBytes(path), old) << "limit " << limit;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("md1.bmp")});
    }
    // What fits is written: shorter contents under the limit, all of them at the limit.
    EXPECT_TRUE(writes(QByteArray(100, 's'), 4096, QString()));
    EXPECT_EQ(readBytes(path), QByteArray(100, 's'));
    EXPECT_TRUE(writes(next, 8000, QString()));
    EXPECT_EQ(readBytes(path), next);

    // A full disk is named by the system's reason.
    const QString page = dir.filePath(QStringLiteral("wb1.htm"));
    const QString picture = dir.filePath(QStringLiteral("sd1.bmp"));
    const int status = test::runOnOwnFileSystem(dir.path(), "size=64k", [&] {
        // A file rewritten where it stands, and a new one.
        const QByteArray large(200 * 1024, 'n');
        return writeBytes(page, "old") &&
               overwriteFile(page, large) == cannotWrite(page, "No space left on device") &&
               overwriteFile(picture, large) == cannotWrite(picture, "No space left on device") &&
               readBytes(page) == "old";
    });
    if (status == test::kCannotMount)
        GTEST_SKIP() << "a small file system needs root";
    EXPECT_EQ(status, 1);
}

} // namespace
} // namespace corvane
