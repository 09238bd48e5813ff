// Benchmarks of the bend table: reading workbooks of 1,000 and 10,000 records, and what the bend
// calculation pays per section when the workbook is unchanged (one table() and 20 lookups).
//

#include "bendtable/bendtable.h"
#include "bendtable/bendtablesource.h"
#include "bendtable/xlsreader.h"
#include "benchsupport.h"

#include <benchmark/benchmark.h>

namespace {

using corvane::bench::workbookBytes;

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
    const QString path = corvane::bench::workbookPath(int(state.range(0)));
    for (auto _ : state) {
        corvane::BendTableSource source(path);
        benchmark::DoNotOptimize(source.table().get());
    }
}
BENCHMARK(sourceReadsChangedWorkbook)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// One section's computation with the workbook unchanged: table() and 20 lookups.
void sourceUnchangedTwentyLookups(benchmark::State &state)
{
    corvane::BendTableSource source(corvane::bench::workbookPath(int(state.range(0))));
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
