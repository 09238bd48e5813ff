#include "fuzzentry.h"

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
        // Once may be the machine; twice is the input.
        const double first = run.cpuMilliseconds;
        run = runInput(target, bytes);
        if (run.cpuMilliseconds > slowLimit)
            fail(target, QStringLiteral("slow input: %1 ms and %2 ms of CPU time, over %3 ms")
                             .arg(first, 0, 'f', 1)
                             .arg(run.cpuMilliseconds, 0, 'f', 1)
                             .arg(slowLimit));
    }
    return 0;
}

} // namespace corvane::fuzz
