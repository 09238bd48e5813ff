#include "ground/recovery.h"

#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

// The copy with the name of its job file; copies of the old kind not yet named; each kept under a
// name of its own with its job file's name, never over another.
TEST(RecoveryFolder, FindsItsCopyAndTheOldKindAndKeepsEachUnderANameOfItsOwn)
{
    QTemporaryDir dir;
    const RecoveryFolder folder(dir.filePath("recovery"));
    const QString temp = dir.filePath("temp");
    ASSERT_TRUE(QDir().mkpath(temp));
    for (const char *name :
         {"recovered-20261201-080000.bm", "recovered-20261130-080000-reported.bm"})
        ASSERT_TRUE(test::writeBytes(QDir(temp).filePath(name), "x"));
    ASSERT_EQ(folder.write(JobFileContent(), "/jobs/bracket.bm"), "");

    const QList<RecoveredJob> found = folder.found(temp);
    ASSERT_EQ(found.size(), 2);
    EXPECT_TRUE(found[1].file.endsWith("recovered-20261201-080000.bm"));

    RecoveredJob same = found[1];
    same.changed = found[0].changed; // two copies of one second
    const RecoveryFolder::Kept first = folder.keep(found[0]);
    const RecoveryFolder::Kept second = folder.keep(same);
    const QString stamp = found[0].changed.toString("yyyyMMdd-HHmmss");
    EXPECT_EQ(first.path, folder.path() + "/kept-" + stamp + ".bm");
    EXPECT_EQ(second.path, folder.path() + "/kept-" + stamp + "-2.bm");
    EXPECT_EQ(test::readBytes(folder.path() + "/kept-" + stamp + ".path"), "/jobs/bracket.bm");
}

} // namespace
} // namespace corvane
