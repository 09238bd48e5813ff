#include "fuzzentry.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace corvane::fuzz {

namespace {

double slowLimitMilliseconds()
{
    bool ok = false;
    const double limit = qEnvironmentVariable("CORVANE_FUZZ_SLOW_MS").toDouble(&ok);
    return ok && limit > 0 ? limit : 0.0;
}

[[noreturn]] void fail(Target target, const QString &problem)
{
    std::fprintf(stderr, "==%s== %s\n", qPrintable(targetName(target)), qPrintable(problem));
    std::fflush(stderr);
    std::abort();
}

} // namespace

int fuzzOneInput(Target target, const uint8_t *data, size_t size)
{
    static const double slowLimit = slowLimitMilliseconds();
    static const bool report = qEnvironmentVariableIsSet("CORVANE_FUZZ_REPORT");
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    InputRun run = runInput(target, bytes);
    if (report)
        std::fprintf(stderr, "==%s== cost %.2f ms %lld bytes of heap\n",
                     qPrintable(targetName(target)), run.cpuMilliseconds,
                     static_cast<long long>(run.heapPeakBytes));
    if (!run.problem.isEmpty())
        fail(target, run.problem);
    if (slowLimit > 0 && run.cpuMilliseconds > slowLimit) {
        // CPU time still varies: the sanitizer's allocator recycles its quarantine or returns
        // memory to the system in the middle of a run, and a busy machine's caches are cold. The
        // best of three runs is the input's own cost.
        QStringList times{QString::number(run.cpuMilliseconds, 'f', 1)};
        double best = run.cpuMilliseconds;
        for (int again = 0; again < 2 && best > slowLimit; ++again) {
            run = runInput(target, bytes);
            best = std::min(best, run.cpuMilliseconds);
            times.append(QString::number(run.cpuMilliseconds, 'f', 1));
        }
        if (best > slowLimit)
            fail(target, QStringLiteral("slow input: %1 ms of CPU time, over %2 ms")
                             .arg(times.join(QStringLiteral(" ms, ")))
                             .arg(slowLimit));
    }
    return 0;
}

} // namespace corvane::fuzz
