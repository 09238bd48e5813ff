#include "report/reportassembly.h"

#include "testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

using namespace test;

const QByteArray kSeparator =
    QByteArrayLiteral("<div style='page-break-after:always; clear:both;'>&nbsp;</div>");

// Runs of a section that write nothing: the page is its number.
SectionRun fakeRun(int n)
{
    SectionRun run;
    run.page = QByteArray("page ") + QByteArray::number(n);
    run.calculation.lastFlange = n;
    return run;
}

TEST(ReportAssembly, JoinsThePagesOfTheSectionsInUseInOrderAndARunThatCannotWriteStopsIt)
{
    // An empty page still counts as a page.
    EXPECT_EQ(joinPages({"one\r\n", "", "three\r\n"}),
              "one\r\n" + kSeparator + kSeparator + "three\r\n");
    EXPECT_EQ(joinPages({}), QByteArray());

    QTemporaryDir dir;
    Job job; // which texts put a section in use is the section's test
    job.section(1).setOutside(0, QStringLiteral("50"));
    job.section(3).setOutside(0, QStringLiteral("0.5"));
    QList<int> run;
    const ReportAssembly result = assembleReport(job, dir.path(), [&run](int n) {
        run.append(n);
        return fakeRun(n);
    });
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(run, (QList<int>{1, 3}));
    EXPECT_EQ(result.sections, (QList<int>{1, 3}));
    ASSERT_EQ(result.calculations.size(), 2);
    EXPECT_EQ(result.calculations[1].lastFlange, 3);
    EXPECT_EQ(result.path, joinedDocumentPath(dir.path()));
    EXPECT_EQ(readBytes(result.path), "page 1" + kSeparator + "page 3");

    // No section in use: an empty document replaces an older one.
    const ReportAssembly none = assembleReport(Job(), dir.path(), fakeRun);
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none.sections.isEmpty());
    EXPECT_EQ(readBytes(none.path), QByteArray());

    // A run that cannot write its page stops the assembly, and the older document stays.
    for (int n = 1; n <= kSectionCount; ++n)
        job.section(n).setOutside(0, QStringLiteral("10"));
    ASSERT_TRUE(writeBytes(joinedDocumentPath(dir.path()), "an older document"));
    run.clear();
    const ReportAssembly stopped = assembleReport(job, dir.path(), [&run](int n) {
        run.append(n);
        SectionRun section = fakeRun(n);
        if (n == 3)
            section.error = QStringLiteral("Cannot write wb3.htm: No space left on device");
        return section;
    });
    EXPECT_EQ(stopped.error, QStringLiteral("Cannot write wb3.htm: No space left on device"));
    EXPECT_EQ(run, (QList<int>{1, 2, 3}));
    EXPECT_EQ(readBytes(joinedDocumentPath(dir.path())), "an older document");

    // A document that cannot be written is named.
    const QString blocked = dir.filePath(QStringLiteral("blocker"));
    ASSERT_TRUE(writeBytes(blocked, "a file"));
    const ReportAssembly unwritable =
        assembleReport(job, blocked + QStringLiteral("/temp"), fakeRun);
    EXPECT_TRUE(unwritable.error.contains(blocked + QStringLiteral("/temp/wball.htm")))
        << unwritable.error.toStdString();
}

} // namespace
} // namespace corvane
