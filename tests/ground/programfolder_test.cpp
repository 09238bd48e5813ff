#include "ground/programfolder.h"

#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(ProgramFolder, ExecutableFolderWithTheProgramsFilesOrElseTheUserFolderSeededOnce)
{
    // A build tree or an unpacked copy, with its workbook or without it for the moment.
    for (const char *own : {"BendTbl.xls", "logo.png", "corvane-webengine.so"}) {
        QTemporaryDir exe;
        QTemporaryDir user;
        ASSERT_TRUE(test::writeBytes(exe.filePath(QString::fromLatin1(own)), "x"));
        const ProgramFolder folder = resolveProgramFolder(exe.path(), user.path(), {});
        EXPECT_EQ(folder.path, QDir::cleanPath(exe.path())) << own;
        EXPECT_TRUE(QDir(user.path()).isEmpty()) << own;
    }

    // An installed copy seeds the user's folder once, and keeps the operator's table after.
    QTemporaryDir exe;
    QTemporaryDir share;
    QTemporaryDir home;
    ASSERT_TRUE(test::writeBytes(share.filePath(QStringLiteral("BendTbl.xls")), "installed"));
    ASSERT_TRUE(test::writeBytes(share.filePath(QStringLiteral("logo.png")), "logo"));
    QFile::setPermissions(share.filePath(QStringLiteral("BendTbl.xls")), QFile::ReadOwner);
    const QString user = home.filePath(QStringLiteral("data/Corvane"));

    const ProgramFolder first = resolveProgramFolder(exe.path(), user, {exe.path(), share.path()});
    EXPECT_EQ(first.path, user);
    const QString table = QDir(user).filePath(QStringLiteral("BendTbl.xls"));
    EXPECT_EQ(test::readBytes(table), "installed");
    EXPECT_EQ(test::readBytes(QDir(user).filePath(QStringLiteral("logo.png"))), "logo");
    EXPECT_TRUE(QFile::permissions(table) & QFile::WriteOwner);

    ASSERT_TRUE(test::writeBytes(table, "edited by the operator"));
    resolveProgramFolder(exe.path(), user, {share.path()});
    EXPECT_EQ(test::readBytes(table), "edited by the operator");
}

// A user's folder that cannot take the installed table (a read-only home) is named at start.
TEST(ProgramFolder, AnInstalledFileThatCannotBeCopiedIsNamed)
{
    QTemporaryDir exe;
    QTemporaryDir share;
    QTemporaryDir user;
    const QString installed = share.filePath(QStringLiteral("BendTbl.xls"));
    ASSERT_TRUE(test::writeBytes(installed, "installed"));
    const int status = test::runOnOwnFileSystem(user.path(), "ro", [&] {
        const ProgramFolder folder = resolveProgramFolder(exe.path(), user.path(), {share.path()});
        return folder.error == QStringLiteral("Cannot copy %1 to %2")
                                   .arg(installed, user.filePath(QStringLiteral("BendTbl.xls")));
    });
    if (status == test::kCannotMount)
        GTEST_SKIP() << "a file system of its own needs root";
    EXPECT_EQ(status, 1);
}

// The desktop program names its organisation (for its settings), corvane-report does not; both
// share the operator's bend table, as the test process, named as the desktop program, shows.
TEST(ProgramFolder, TheUsersFolderIsCorvaneInTheDataFolderWhateverTheApplicationsNames)
{
    ASSERT_EQ(QCoreApplication::organizationName(), QStringLiteral("Corvane"));
    EXPECT_EQ(userDataFolder(),
              QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath(QStringLiteral("Corvane")));
}

} // namespace
} // namespace corvane
