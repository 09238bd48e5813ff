#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

// Starts this test program as a probe that takes the guard in folder, and returns its answer:
// "first" (it then holds the guard until killed, at the latest by QProcess at the end) or
// "running".
QString startProbe(QProcess &probe, const QString &folder)
{
    probe.start(QCoreApplication::applicationFilePath(), {"--probe-single-instance", folder});
    if (!probe.waitForReadyRead(10000))
        return QStringLiteral("no answer");
    return QString::fromUtf8(probe.readLine()).trimmed();
}

TEST(SingleInstance, SecondStartIsRefusedAKilledFirstBlocksNothingNorDoesAnotherTitle)
{
    QTemporaryDir folder;
    QProcess first, second, third;
    ASSERT_EQ(startProbe(first, folder.path()), "first");
    EXPECT_EQ(startProbe(second, folder.path()), "running");
    EXPECT_TRUE(second.waitForFinished(10000));

    // A first instance killed without a chance to clean up leaves its lock file behind.
    first.kill();
    first.waitForFinished(5000);
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("Corvane.lock")));
    EXPECT_EQ(startProbe(third, folder.path()), "first");

    // The lock lies in the runtime folder, one for each title: another title is not blocked.
    QTemporaryDir runtime;
    const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    SingleInstance guard(QStringLiteral("Corvane"));
    SingleInstance other(QStringLiteral("Other"));
    qputenv("XDG_RUNTIME_DIR", old);
    EXPECT_EQ(guard.lockPath(), runtime.filePath("Corvane.lock"));
    EXPECT_TRUE(guard.checkMutex());
    EXPECT_TRUE(other.checkMutex());
}

} // namespace
} // namespace corvane
