// What one keystroke in a flange box costs before the preview can load the page: the section's
// calculation against the bend table, both diagrams drawn and encoded, and the page and the two
// pictures written. Next to it, in the same run, the floor: drawing the same two pictures and
// writing the same bytes to fresh files, with no calculation and no table.
//
// The section has eleven flanges and ten bends; the table has 1,000 or 10,000 records and is not
// changed between keystrokes, as when an operator types.

#include "bendtable/bendtablesource.h"
#include "benchsupport.h"
#include "elevenflangejob.h"
#include "calculation/sectionpage.h"
#include "ground/jobfile.h"
#include "editing/jobeditor.h"
#include "editing/sectionrunner.h"
#include "diagrams/imagecanvas.h"
#include "diagrams/markingdiagram.h"
#include "diagrams/sectiondiagram.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using namespace corvane;

Job elevenFlangeJob()
{
    return bench::elevenFlangeJob(QStringLiteral("MAT17"), QStringLiteral("2.25"));
}

PageOptions options(const QString &name)
{
    const QString folder = QDir(bench::scratchFolder()).filePath(name);
    QDir().mkpath(folder);
    return {LengthUnit::Millimetre, false, bench::scratchFolder(), folder};
}

// Median and 95th percentile of the iterations, as counters of the benchmark.
class Percentiles
{
public:
    void add(std::chrono::steady_clock::duration d)
    {
        m_ms.push_back(std::chrono::duration<double, std::milli>(d).count());
    }
    void report(benchmark::State &state)
    {
        if (m_ms.empty())
            return;
        std::sort(m_ms.begin(), m_ms.end());
        state.counters["median_ms"] = m_ms[m_ms.size() / 2];
        state.counters["p95_ms"] = m_ms[std::min(m_ms.size() - 1, m_ms.size() * 95 / 100)];
    }

private:
    std::vector<double> m_ms;
};

void keystrokeToPageWritten(benchmark::State &state)
{
    BendTableSource source(bench::workbookPath(int(state.range(0))));
    Job job = elevenFlangeJob();
    SectionRunner runner;
    const PageOptions o = options(QStringLiteral("keystroke%1").arg(state.range(0)));
    Percentiles percentiles;
    bool wide = false;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        wide = !wide;
        job.section(1).setOutside(5, wide ? QStringLiteral("111") : QStringLiteral("110"));
        const SectionRun run = runner.run(job, 1, *source.table(), o);
        percentiles.add(std::chrono::steady_clock::now() - start);
        if (!run.error.isEmpty() || run.calculation.veeError || !run.calculation.bends[9].found())
            state.SkipWithError("the section did not compute as expected");
    }
    if (source.readCount() != 1)
        state.SkipWithError("the unchanged workbook was read again");
    percentiles.report(state);
}
BENCHMARK(keystrokeToPageWritten)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void floorDrawAndWriteFresh(benchmark::State &state)
{
    BendTableSource source(bench::workbookPath(1000));
    Job job = elevenFlangeJob();
    ImageCanvas canvas;
    const PageOptions o = options(QStringLiteral("floor"));
    const BendCalculation c = calculateSection(job.section(1), QStringLiteral("MAT17"),
                                               QStringLiteral("2.25"), *source.table());
    const QByteArray page = sectionPage(job, 1, c, o).toUtf8();
    // Every run, and every repetition of it, starts from an empty folder: a name written before
    // would be opened, cut and written again, which is not a fresh file.
    auto emptyFolder = [&] {
        QDir(o.tempFolder).removeRecursively();
        QDir().mkpath(o.tempFolder);
    };
    emptyFolder();
    Percentiles percentiles;
    int n = 0;
    auto writeFresh = [&](const QByteArray &bytes) {
        QFile file(QDir(o.tempFolder).filePath(QStringLiteral("fresh%1").arg(n++)));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    };
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        drawSectionDiagram(canvas, c, job.section(1).scale(), LengthUnit::Millimetre);
        writeFresh(canvas.encodeBitmap());
        drawMarkingDiagram(canvas, job.section(1), c, LengthUnit::Millimetre);
        writeFresh(canvas.encodeBitmap());
        writeFresh(page);
        percentiles.add(std::chrono::steady_clock::now() - start);
        if (n > 3000) {
            state.PauseTiming();
            emptyFolder();
            n = 0;
            state.ResumeTiming();
        }
    }
    percentiles.report(state);
}
BENCHMARK(floorDrawAndWriteFresh)->Unit(benchmark::kMillisecond);

// The same keystroke through the editing logic, with the undo history at its limit: each key is a
// step of its own (the caret left the box before it), so the whole job is kept and compared, and
// the oldest step gives way, every time. The difference to keystrokeToPageWritten is what the
// editing logic and the history add.
void keystrokeThroughTheEditor(benchmark::State &state)
{
    BendTableSource source(bench::workbookPath(1000));
    JobEditor editor([&source] { return source.table(); }, options(QStringLiteral("editor")));
    editor.openContent(jobFileContent(elevenFlangeJob()));
    for (int i = 0; i <= EditHistory::kLimit; ++i) {
        editor.endTyping();
        editor.setNotes(1, QString::number(i));
    }
    Percentiles percentiles;
    bool wide = false;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        wide = !wide;
        editor.endTyping();
        editor.setOutside(1, 5, wide ? QStringLiteral("111") : QStringLiteral("110"));
        percentiles.add(std::chrono::steady_clock::now() - start);
    }
    if (!editor.lastRun(1).ok() || !editor.lastRun(1).calculation.bends[9].found())
        state.SkipWithError("the section did not compute as expected");
    percentiles.report(state);
}
BENCHMARK(keystrokeThroughTheEditor)->Unit(benchmark::kMillisecond);

} // namespace
