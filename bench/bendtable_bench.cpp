// Benchmarks of the bend table: reading workbooks of 1,000 and 10,000 records, and what the bend
// calculation pays per section when the workbook is unchanged (one table() and 20 lookups).
//
// The workbooks are written once at start by bench/make-bench-workbook.py (python3-xlwt).

#include "bendtable/bendtable.h"
#include "bendtable/bendtablesource.h"
#include "bendtable/xlsreader.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>

namespace {

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

QByteArray workbookBytes(int rows)
{
    QFile file(g_workbooks.at(rows));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void readSheet(benchmark::State &state)
{
    const QByteArray bytes = workbookBytes(int(state.range(0)));
    for (auto _ : state) {
        const corvane::XlsSheetResult sheet = corvane::readXlsSheet(bytes, "BendTbl");
        benchmark::DoNotOptimize(sheet.cells.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(readSheet)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Cells to an indexed table: the whole of what a changed workbook costs, file reading aside.
void tableFromWorkbook(benchmark::State &state)
{
    const QByteArray bytes = workbookBytes(int(state.range(0)));
    for (auto _ : state) {
        const corvane::BendTableLoad load = corvane::BendTable::fromWorkbook(bytes);
        if (!load.ok())
            state.SkipWithError(load.error.toUtf8().constData());
        benchmark::DoNotOptimize(load.table.get());
    }
}
BENCHMARK(tableFromWorkbook)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A changed workbook read through the source: open, read, identity checks, table.
void sourceReadsChangedWorkbook(benchmark::State &state)
{
    const QString path = g_workbooks.at(int(state.range(0)));
    for (auto _ : state) {
        corvane::BendTableSource source(path);
        benchmark::DoNotOptimize(source.table().get());
    }
}
BENCHMARK(sourceReadsChangedWorkbook)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// One section's computation with the workbook unchanged: table() and 20 lookups.
void sourceUnchangedTwentyLookups(benchmark::State &state)
{
    corvane::BendTableSource source(g_workbooks.at(int(state.range(0))));
    if (source.table()->records().empty())
        state.SkipWithError(source.error().toUtf8().constData());
    int found = 0;
    for (auto _ : state) {
        const auto table = source.table();
        for (int k = 0; k < 20; ++k) {
            const QString material = QStringLiteral("MAT%1").arg(k * 7 % 50, 2, 10, QChar(u'0'));
            found += table->lookup(material, 0.5f + float(k % 20) * 0.25f, 4.0f).found();
        }
    }
    if (source.readCount() != 1)
        state.SkipWithError("the unchanged workbook was read again");
    benchmark::DoNotOptimize(found);
}
BENCHMARK(sourceUnchangedTwentyLookups)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void lookup(benchmark::State &state)
{
    const corvane::BendTableLoad load =
        corvane::BendTable::fromWorkbook(workbookBytes(int(state.range(0))));
    int found = 0;
    for (auto _ : state)
        found += load.table->lookup(QStringLiteral("MAT17"), 2.25f, 4.0f).found();
    if (found != int(state.iterations()))
        state.SkipWithError("the record was not found");
}
BENCHMARK(lookup)->Arg(1000)->Arg(10000)->Unit(benchmark::kNanosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    for (int rows : {1000, 10000}) {
        const QString path = dir.filePath(QStringLiteral("bend%1.xls").arg(rows));
        if (!makeWorkbook(rows, path))
            return 1;
        g_workbooks[rows] = path;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
