// Replays every input that the fuzzers keep: the corpus they start from and each input that once
// broke a reader (fuzz/corpus/<target>, fuzz/regressions/<target>), through the same run and
// checks as the fuzzers (fuzz/fuzzinput.h). In the sanitizer build this is the fuzzers' verdict
// on every CI run: no memory error, no undefined behaviour, no broken promise, heap in budget.
#include "fuzzinput.h"

#include "testsupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

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
    for (const QString &file : corpus + savedInputs(target, "regressions")) {
        const InputRun run = runInput(target, test::readBytes(file));
        EXPECT_TRUE(run.problem.isEmpty())
            << QFileInfo(file).fileName().toStdString() << ": " << run.problem.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::Values(Target::JobFile, Target::BendTable),
                         [](const ::testing::TestParamInfo<Target> &info) {
                             return targetName(info.param).toStdString();
                         });

} // namespace
} // namespace corvane::fuzz
