#pragma once

// One input of a fuzzer, run and checked the same way by the fuzzers (fuzz_jobfile,
// fuzz_bendtable) and by the test that replays the saved inputs (tests/fuzz_replay_test.cpp).
//
// The job file input goes through parseJobFile(); a file that reads must save and read back the
// same. The bend table input goes through BendTable::fromWorkbook(), which runs the compound file
// and workbook readers; a table that loads then answers every query for values taken from its
// own lists and records. Besides crashes (the sanitizers watch for them), a run fails when a
// result breaks its documented promises or when the reader holds more heap than heapBudget()
// allows for the input's size.

#include <QByteArray>
#include <QString>

#include <optional>

namespace corvane::fuzz {

enum class Target
{
    JobFile,
    BendTable
};

// The target of a name as the fuzzers and the corpus folders have it: "jobfile", "bendtable".
std::optional<Target> targetNamed(const QString &name);
QString targetName(Target target);

struct InputRun
{
    QString problem; // empty when every check held
    double cpuMilliseconds = 0.0;
    qint64 heapPeakBytes = -1; // -1 when the allocator cannot tell (a build without sanitizer)
};

// The most heap a reader may hold at once for an input of the given size.
qint64 heapBudget(qsizetype inputSize);

InputRun runInput(Target target, const QByteArray &bytes);

} // namespace corvane::fuzz
