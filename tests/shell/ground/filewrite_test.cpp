#include "shell/ground/filewrite.h"

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

QByteArray bytesOf(qsizetype size, char fill)
{
    return QByteArray(size, fill);
}

ino_t inodeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// A folder that the unprivileged child of test::runInChild can reach.
struct OpenFolder
{
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("temp"));
    OpenFolder()
    {
        QFile::setPermissions(dir.path(),
                              QFile::permissions(dir.path()) | QFile::ReadOther | QFile::ExeOther);
        QDir().mkpath(folder);
    }
    QString file(const QString &name) const { return QDir(folder).filePath(name); }
};

TEST(FileWrite, OverwriteLeavesExactlyTheNewBytesWhateverTheOldLength)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wb1.htm"));
    ASSERT_TRUE(writeBytes(path, bytesOf(9000, 'a')));
    const ino_t inode = inodeOf(path);
    // Shorter, longer, equal, empty and back: no tail of an earlier, longer file is left.
    const QList<QByteArray> writes = {bytesOf(10, 'b'),    bytesOf(20000, 'c'), bytesOf(20000, 'd'),
                                      bytesOf(19999, 'e'), QByteArray(),        bytesOf(3, 'f')};
    for (const QByteArray &bytes : writes) {
        const QString error = overwriteFile(path, bytes);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(readBytes(path), bytes) << "writing " << bytes.size() << " bytes";
        EXPECT_EQ(QFileInfo(path).size(), bytes.size());
    }
    // Written in place, and nothing left beside it.
    EXPECT_EQ(inodeOf(path), inode);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("wb1.htm")});

    const QString fresh = dir.filePath(QStringLiteral("sd1.bmp"));
    EXPECT_TRUE(overwriteFile(fresh, "BM").isEmpty());
    EXPECT_EQ(readBytes(fresh), "BM");
}

TEST(FileWrite, AReaderOfTheOldFileKeepsItWholeWhileAnExportRuns)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sd1.bmp"));
    const QByteArray old = bytesOf(5000, 'o');
    ASSERT_TRUE(writeBytes(path, old));
    QFile reader(path);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    {
        WholeFileWrites exporting;
        EXPECT_TRUE(overwriteFile(path, bytesOf(5000, 'n')).isEmpty());
    }
    EXPECT_EQ(reader.readAll(), old);
    EXPECT_EQ(readBytes(path), bytesOf(5000, 'n'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("sd1.bmp")});

    // Once the export is over, the file that readers open is rewritten where it is.
    QFile second(path);
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_TRUE(overwriteFile(path, bytesOf(5000, 'm')).isEmpty());
    EXPECT_EQ(second.readAll(), bytesOf(5000, 'm'));
}

TEST(FileWrite, NeverWritesThroughALinkIntoAnotherFile)
{
    QTemporaryDir dir;
    const QString outside = dir.filePath(QStringLiteral("drawing.bmp"));
    const QByteArray kept = bytesOf(100, 'k');
    ASSERT_TRUE(writeBytes(outside, kept));

    const QString symbolic = dir.filePath(QStringLiteral("sd1.bmp"));
    ASSERT_TRUE(QFile::link(outside, symbolic));
    EXPECT_TRUE(overwriteFile(symbolic, "new").isEmpty());
    EXPECT_FALSE(QFileInfo(symbolic).isSymLink());
    EXPECT_EQ(readBytes(symbolic), "new");
    EXPECT_EQ(readBytes(outside), kept);

    const QString hard = dir.filePath(QStringLiteral("md1.bmp"));
    ASSERT_EQ(::link(QFile::encodeName(outside).constData(), QFile::encodeName(hard).constData()),
              0);
    EXPECT_TRUE(overwriteFile(hard, "newer").isEmpty());
    EXPECT_EQ(readBytes(hard), "newer");
    EXPECT_EQ(readBytes(outside), kept);
}

TEST(FileWrite, ReportsWhatStandsInTheWayAndWritesWhereItCan)
{
    OpenFolder open;
    // A folder where the file should be, a missing folder.
    const QString folderInTheWay = open.file(QStringLiteral("wb1.htm"));
    ASSERT_TRUE(QDir().mkpath(folderInTheWay));
    for (const QString &path : {folderInTheWay, open.file(QStringLiteral("gone/wb1.htm"))}) {
        const QString error = overwriteFile(path, "page");
        EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot write ") + path))
            << error.toStdString();
    }
    EXPECT_TRUE(QFileInfo(folderInTheWay).isDir());

    // As an operator, not root: a read-only file in a writable folder is replaced, as it always
    // was; a writable file in a read-only folder is rewritten; a new file in a read-only folder,
    // or a read-only file there, is reported.
    const QString readOnly = open.file(QStringLiteral("sd1.bmp"));
    const QString writable = open.file(QStringLiteral("md1.bmp"));
    ASSERT_TRUE(writeBytes(readOnly, "old"));
    ASSERT_TRUE(writeBytes(writable, "old"));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadOther);
    QFile::setPermissions(writable,
                          QFile::permissions(writable) | QFile::WriteGroup | QFile::WriteOther);
    QFile::setPermissions(open.folder, QFile::permissions(open.folder) | QFile::WriteOther |
                                           QFile::ReadOther | QFile::ExeOther);
    EXPECT_EQ(
        test::runInChild([&] { return overwriteFile(readOnly, "new").isEmpty() ? 0 : 1; }, true),
        0);
    EXPECT_EQ(readBytes(readOnly), "new");

    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadOther);
    QFile::setPermissions(open.folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadOther | QFile::ExeOther);
    const int status = test::runInChild(
        [&] {
            if (!overwriteFile(writable, "new").isEmpty())
                return 1;
            const QString fresh = open.file(QStringLiteral("wb2.htm"));
            if (!overwriteFile(fresh, "new").contains(fresh))
                return 2;
            return overwriteFile(readOnly, "newer").contains(readOnly) ? 0 : 3;
        },
        true);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readBytes(writable), "new");
    EXPECT_EQ(readBytes(readOnly), "new");
    EXPECT_FALSE(QFileInfo::exists(open.file(QStringLiteral("wb2.htm"))));
    EXPECT_EQ(QDir(open.folder).entryList(QDir::Files),
              (QStringList{QStringLiteral("md1.bmp"), QStringLiteral("sd1.bmp")}));
}

TEST(FileWrite, NewContentsThatDoNotFitLeaveTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("md1.bmp"));
    const QByteArray old = bytesOf(6000, 'o');
    const QByteArray next = bytesOf(8000, 'n');
    // A file size limit stands for a full disk: the write fails where the file would pass it,
    // also over bytes the file already has.
    for (long limit : {0L, 100L, 4096L, 7999L}) {
        ASSERT_TRUE(writeBytes(path, old));
        // The system's reason for the failure reaches the message.
        const int status = test::runWithFileSizeLimit(
            [&] {
                return overwriteFile(path, next) ==
                               QStringLiteral("Cannot write %1: File too large").arg(path)
                           ? 0
                           : 1;
            },
            limit);
        EXPECT_EQ(status, 0) << "limit " << limit;
        EXPECT_EQ(readBytes(path), old) << "limit " << limit;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("md1.bmp")})
            << "limit " << limit;
    }
    // What fits is written: shorter contents under the limit, all of them at the limit.
    EXPECT_EQ(test::runWithFileSizeLimit(
                  [&] { return overwriteFile(path, bytesOf(100, 's')).isEmpty() ? 0 : 1; }, 4096),
              0);
    EXPECT_EQ(readBytes(path), bytesOf(100, 's'));
    EXPECT_EQ(test::runWithFileSizeLimit(
                  [&] { return overwriteFile(path, next).isEmpty() ? 0 : 1; }, 8000),
              0);
    EXPECT_EQ(readBytes(path), next);
}

TEST(FileWrite, AFullDiskIsNamedByTheSystemsReason)
{
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("wb1.htm"));
    const QString picture = dir.filePath(QStringLiteral("sd1.bmp"));
    const int status = test::runOnOwnFileSystem(dir.path(), "size=64k", [&] {
        if (!writeBytes(page, bytesOf(1000, 'o')))
            return 1;
        const QString full = QStringLiteral(": No space left on device");
        // A file rewritten where it stands, and a new one.
        if (overwriteFile(page, bytesOf(200 * 1024, 'n')) !=
            QStringLiteral("Cannot write ") + page + full)
            return 2;
        if (overwriteFile(picture, bytesOf(200 * 1024, 'n')) !=
            QStringLiteral("Cannot write ") + picture + full)
            return 3;
        return readBytes(page) == bytesOf(1000, 'o') ? 0 : 4;
    });
    if (status == test::kCannotMount)
        GTEST_SKIP() << "a small file system needs root";
    EXPECT_EQ(status, 0);
}

TEST(FileWrite, WhatStandsInTheWayOfANewFileIsFoundBeforeWriting)
{
    OpenFolder open;
    const QString folderInTheWay = open.file(QStringLiteral("report.pdf"));
    ASSERT_TRUE(QDir().mkpath(folderInTheWay));
    EXPECT_EQ(writeProblem(folderInTheWay),
              QStringLiteral("Cannot write %1: Is a directory").arg(folderInTheWay));
    const QString missing = open.file(QStringLiteral("gone/report.pdf"));
    EXPECT_EQ(writeProblem(missing),
              QStringLiteral("Cannot write %1: No such file or directory").arg(missing));

    // As an operator: a file he may write, in a folder he may write, is fine and nothing is left
    // behind; a read-only file is refused, as a save refuses it; a folder closed to him is named.
    const QString readOnly = open.file(QStringLiteral("old.pdf"));
    const QString fresh = open.file(QStringLiteral("new.pdf"));
    ASSERT_TRUE(writeBytes(readOnly, "old"));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadOther);
    QFile::setPermissions(open.folder, QFile::permissions(open.folder) | QFile::WriteOther |
                                           QFile::ReadOther | QFile::ExeOther);
    const QString closed = open.file(QStringLiteral("closed"));
    ASSERT_TRUE(QDir().mkpath(closed));
    QFile::setPermissions(closed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadOther | QFile::ExeOther);
    const int status = test::runInChild(
        [&] {
            if (!writeProblem(fresh).isEmpty())
                return 1;
            if (writeProblem(readOnly) !=
                QStringLiteral("Cannot write %1: the file is read-only").arg(readOnly))
                return 2;
            const QString inClosed = closed + QStringLiteral("/report.pdf");
            return writeProblem(inClosed) ==
                           QStringLiteral("Cannot write %1: Permission denied").arg(inClosed)
                       ? 0
                       : 3;
        },
        true);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readBytes(readOnly), "old");
    EXPECT_EQ(QDir(open.folder).entryList(QDir::Files), QStringList{QStringLiteral("old.pdf")});

    QTemporaryDir dir;
    const QString onReadOnly = dir.filePath(QStringLiteral("report.pdf"));
    const int mounted = test::runOnOwnFileSystem(dir.path(), "ro", [&] {
        return writeProblem(onReadOnly) ==
                       QStringLiteral("Cannot write %1: Read-only file system").arg(onReadOnly)
                   ? 0
                   : 1;
    });
    if (mounted != test::kCannotMount) {
        EXPECT_EQ(mounted, 0);
    }
}

} // namespace
} // namespace corvane
