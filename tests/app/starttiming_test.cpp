#include "app/starttiming.h"

#include "editing/jobeditor.h"
#include "app/mainwindow.h"
#include "app/previewpane.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace corvane {
namespace {

// A copy of the program in a program folder of its own, with its bend table and logo.
class TimedProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString built = QStringLiteral(CORVANE_PROGRAM);
        const QString builtFolder = QFileInfo(built).path();
        program = folder.filePath(QStringLiteral("corvane"));
        ASSERT_TRUE(QFile::copy(built, program));
        // The program finds the web engine module beside itself.
        const QString module = QStringLiteral(CORVANE_WEBENGINE_MODULE);
        ASSERT_TRUE(QFile::copy(module, folder.filePath(QFileInfo(module).fileName())));
        for (const char *name : {"BendTbl.xls", "logo.png"})
            ASSERT_TRUE(QFile::copy(QDir(builtFolder).filePath(QLatin1String(name)),
                                    folder.filePath(QLatin1String(name))));
    }

    QProcess::ExitStatus run(QByteArray *output)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        env.insert(QStringLiteral("CORVANE_TIMING"), QStringLiteral("1"));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, {});
        const bool ended = process.waitForFinished(60000);
        if (!ended) {
            process.kill();
            process.waitForFinished();
        }
        *output = process.readAllStandardError();
        return ended && process.exitCode() == 0 ? process.exitStatus() : QProcess::CrashExit;
    }

    QTemporaryDir folder;
    QTemporaryDir home;
    QString program;
};

// The value after "since start" and after "monotonic" on the line about what, or -1.
std::pair<double, double> timesOf(const QByteArray &output, const QByteArray &what)
{
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 9 && words[0] == "corvane-timing" && words[1] == what &&
            words[3] == "ms" && words[6] == "monotonic")
            return {words[2].toDouble(), words[7].toDouble()};
    }
    return {-1, -1};
}

TEST_F(TimedProgram, ReportsFirstPaintThenThePageAndEnds)
{
    QByteArray output;
    ASSERT_EQ(run(&output), QProcess::NormalExit) << output.toStdString();
    const auto painted = timesOf(output, "first-paint");
    const auto shown = timesOf(output, "page-shown");
    ASSERT_GT(painted.first, 0.0) << output.toStdString();
    ASSERT_GT(shown.first, 0.0) << output.toStdString();
    // Times since the process started, not since the machine did.
    EXPECT_LT(shown.first, 60000.0) << output.toStdString();
    EXPECT_LT(painted.first, shown.first);
    EXPECT_LT(painted.second, shown.second);
    // The page shown is section 1's of the new job.
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("temp/wb1.htm"))));
}

} // namespace
} // namespace corvane
