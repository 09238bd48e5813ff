// Replays every input that the fuzzers keep: the corpus they start from and each input that once
// broke a reader (fuzz/corpus/<target>, fuzz/regressions/<target>), through the same run and
// checks as the fuzzers (fuzz/fuzzinput.h). In the sanitizer build this is the fuzzers' verdict
// on every CI run: no memory error, no undefined behaviour, no broken promise, heap in budget.
// Time is recorded (slowest_ms), never judged: the machine may be busy.
#include "fuzzinput.h"
#include "heappeak.h"

#include "testsupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace corvane::fuzz {

namespace {

QStringList savedInputs(Target target, const char *kind)
{
    const QDir dir(QStringLiteral(CORVANE_SOURCE_DIR "/fuzz/%1/%2")
                       .arg(QLatin1String(kind), targetName(target)));
    QStringList files;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
        files.append(dir.filePath(name));
    return files;
}

class FuzzReplay : public ::testing::TestWithParam<Target>
{};

TEST_P(FuzzReplay, EverySavedInputPassesTheFuzzersChecks)
{
    const Target target = GetParam();
    const QStringList corpus = savedInputs(target, "corpus");
    // The seeds alone are more than this; fewer means the folder went missing.
    ASSERT_GE(corpus.size(), 8) << targetName(target).toStdString();
    double slowest = 0.0;
    for (const QString &file : corpus + savedInputs(target, "regressions")) {
        const InputRun run = runInput(target, test::readBytes(file));
        EXPECT_TRUE(run.problem.isEmpty())
            << QFileInfo(file).fileName().toStdString() << ": " << run.problem.toStdString();
        slowest = std::max(slowest, run.cpuMilliseconds);
    }
    RecordProperty("slowest_ms", int(slowest));
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::Values(Target::JobFile, Target::BendTable),
                         [](const ::testing::TestParamInfo<Target> &info) {
                             return targetName(info.param).toStdString();
                         });

TEST(HeapPeak, CountsWhatTheThreadTakesAtOnceWhileItLives)
{
    if (!HeapPeak::available())
        GTEST_SKIP() << "the allocator has no hooks without a sanitizer";
    auto before = std::make_unique<std::vector<char>>(2000000);
    {
        HeapPeak peak;
        auto first = std::make_unique<std::vector<char>>(1000000);
        (*first)[999999] = 1;
        first.reset();
        std::vector<char> second(400000);
        second[0] = 1;
        // The first megabyte, given back before the second block: one megabyte at most, not 1.4.
        EXPECT_GE(peak.peakBytes(), 1000000);
        EXPECT_LT(peak.peakBytes(), 1300000);
    }
    // Memory held before and given back does not count.
    HeapPeak peak;
    before.reset();
    std::vector<char> small(1000);
    small[0] = 1;
    EXPECT_LT(peak.peakBytes(), 100000);
}

} // namespace
} // namespace corvane::fuzz
