#include "benchsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>

namespace corvane::bench {

namespace {

std::unique_ptr<QTemporaryDir> g_folder;
std::map<int, QString> g_workbooks;

bool makeWorkbook(int rows, const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(CORVANE_BENCH_SCRIPT), QString::number(rows), path});
    if (!python.waitForFinished(120000) || python.exitCode() != 0) {
        std::fprintf(stderr, "cannot make the %d-row workbook: %s\n", rows,
                     python.readAllStandardError().constData());
        return false;
    }
    // Old enough that the source trusts its identity.
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 60;
    times[1] = times[0];
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

} // namespace

QString workbookPath(int rows)
{
    return g_workbooks.at(rows);
}

QByteArray workbookBytes(int rows)
{
    QFile file(workbookPath(rows));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString scratchFolder()
{
    return g_folder->path();
}

} // namespace corvane::bench

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The diagrams draw text, which needs a GUI application.
    QGuiApplication app(argc, argv);
    corvane::bench::g_folder = std::make_unique<QTemporaryDir>();
    for (int rows : {1000, 10000}) {
        const QString path =
            corvane::bench::g_folder->filePath(QStringLiteral("bend%1.xls").arg(rows));
        if (!corvane::bench::makeWorkbook(rows, path))
            return 1;
        corvane::bench::g_workbooks[rows] = path;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    corvane::bench::g_folder.reset();
    return 0;
}
