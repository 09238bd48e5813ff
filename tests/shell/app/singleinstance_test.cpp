#include "shell/app/singleinstance.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace corvane {
namespace {

// Starts this test program as a probe that takes the guard in folder and reports "first" (and then
// holds it until killed) or "running".
class Probe
{
public:
    explicit Probe(const QString &folder)
    {
        m_process.setProgram(QCoreApplication::applicationFilePath());
        m_process.setArguments({QStringLiteral("--probe-single-instance"), folder});
        m_process.start();
    }
    ~Probe()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    QString answer()
    {
        if (!m_process.waitForReadyRead(10000))
            return QStringLiteral("no answer");
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    void killHard()
    {
        ::kill(pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished(5000);
    }
    bool finished() { return m_process.waitForFinished(10000); }

private:
    QProcess m_process;
};

TEST(SingleInstance, SecondStartIsRefusedAndAKilledFirstBlocksNothing)
{
    QTemporaryDir folder;
    Probe first(folder.path());
    ASSERT_EQ(first.answer(), "first");

    Probe second(folder.path());
    EXPECT_EQ(second.answer(), "running");
    EXPECT_TRUE(second.finished());

    // A first instance killed without a chance to clean up leaves its lock file behind.
    first.killHard();
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("Corvane.lock")));
    Probe third(folder.path());
    EXPECT_EQ(third.answer(), "first");
}

TEST(SingleInstance, AnotherTitleIsNotBlockedAndTheLockLiesInTheRuntimeFolder)
{
    QTemporaryDir folder;
    SingleInstance corvane(QStringLiteral("Corvane"), folder.path());
    SingleInstance other(QStringLiteral("Other"), folder.path());
    EXPECT_TRUE(corvane.checkMutex());
    EXPECT_TRUE(other.checkMutex());

    QTemporaryDir runtime;
    const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    SingleInstance guard(QStringLiteral("Corvane"));
    EXPECT_EQ(guard.lockPath(), runtime.filePath("Corvane.lock"));
    qputenv("XDG_RUNTIME_DIR", old);
}

} // namespace
} // namespace corvane
