#include "shell/report/reportassembly.h"

#include "input/editing/jobeditor.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::readBytes;
using test::writeBytes;

const QByteArray kSeparator =
    QByteArrayLiteral("<div style='page-break-after:always; clear:both;'>&nbsp;</div>");

TEST(JoinPages, PutsTheSeparatorBetweenPagesOnly)
{
    EXPECT_EQ(joinPages({}), QByteArray());
    EXPECT_EQ(joinPages({"one\r\n"}), QByteArray("one\r\n"));
    EXPECT_EQ(joinPages({"one\r\n", "two\r\n", "three\r\n"}),
              "one\r\n" + kSeparator + "two\r\n" + kSeparator + "three\r\n");
    // An empty page still counts as a page.
    EXPECT_EQ(joinPages({"a", "", "b"}), "a" + kSeparator + kSeparator + "b");
    EXPECT_EQ(pageSeparator(), kSeparator);
}

class ReportAssemblyTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    std::shared_ptr<const BendTable> table =
        std::make_shared<const BendTable>(test::workedExampleTable().records());
    JobEditor editor{[this] { return table; },
                     PageOptions{LengthUnit::Millimetre, false, dir.path(),
                                 dir.filePath(QStringLiteral("temp"))}};

    QString temp(const QString &name) const { return dir.filePath(QStringLiteral("temp/") + name); }
    QByteArray page(int n) const { return readBytes(temp(QStringLiteral("wb%1.htm").arg(n))); }
    QByteArray joined() const { return readBytes(temp(QStringLiteral("wball.htm"))); }

    // Material MS, thickness 2, every vee 16.
    void newMs2Job()
    {
        editor.newJob();
        editor.chooseMaterial(editor.job().material().items().indexOf(QStringLiteral("MS")));
        editor.chooseThickness(editor.job().thickness().items().indexOf(QStringLiteral("2")));
    }

    // Section n: flanges 50, 100, 50 bent at 90 degrees, with its notes.
    void fillSection(int n, const QString &notes)
    {
        editor.setOutside(n, 0, QStringLiteral("50"));
        editor.setAngle(n, 0, QStringLiteral("90"));
        editor.setOutside(n, 1, QStringLiteral("100"));
        editor.setAngle(n, 1, QStringLiteral("90"));
        editor.setOutside(n, 2, QStringLiteral("50"));
        editor.setNotes(n, notes);
    }
};

TEST_F(ReportAssemblyTest, SectionsOneAndThreeGivePageOneSeparatorPageThree)
{
    newMs2Job();
    fillSection(1, QStringLiteral("first section"));
    fillSection(3, QStringLiteral("third section"));
    // Section 3 was edited while hidden, so its page on disk is not up to date.
    ASSERT_TRUE(writeBytes(temp(QStringLiteral("wb3.htm")), "stale page"));

    const ReportAssembly result = assembleReport(editor);

    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.sections, (QList<int>{1, 3}));
    EXPECT_EQ(result.path, temp(QStringLiteral("wball.htm")));
    const QByteArray page1 = page(1);
    const QByteArray page3 = page(3);
    EXPECT_TRUE(page1.contains("first section"));
    EXPECT_TRUE(page3.contains("third section"));
    EXPECT_TRUE(page3.contains("Section Specifications"));
    // Byte for byte, heads and all, with nothing after the last page.
    EXPECT_EQ(joined(), page1 + kSeparator + page3);
    EXPECT_TRUE(joined().endsWith("</html>\r\n"));
}

TEST_F(ReportAssemblyTest, SectionWithAnEmptyFirstFlangeIsLeftOut)
{
    newMs2Job();
    fillSection(1, QStringLiteral("printed"));
    // Sections 2, 4 and 5 have later rows filled, but a first flange that does not read above 0.
    const QStringList firstFlanges = {QString(), QStringLiteral("0"), QStringLiteral("abc")};
    const int numbers[] = {2, 4, 5};
    for (int k = 0; k < 3; ++k) {
        const int n = numbers[k];
        editor.setOutside(n, 0, firstFlanges[k]);
        editor.setOutside(n, 1, QStringLiteral("40"));
        editor.setOutside(n, 2, QStringLiteral("40"));
        editor.setNotes(n, QStringLiteral("not printed"));
    }

    const ReportAssembly result = assembleReport(editor);

    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.sections, QList<int>{1});
    EXPECT_EQ(joined(), page(1));
    EXPECT_FALSE(joined().contains("not printed"));
    EXPECT_FALSE(joined().contains(kSeparator));
    // A section left out is not even computed.
    for (int n : numbers)
        EXPECT_FALSE(QFileInfo::exists(temp(QStringLiteral("wb%1.htm").arg(n)))) << n;
}

TEST_F(ReportAssemblyTest, NoSectionInUseGivesAnEmptyDocument)
{
    newMs2Job();
    ASSERT_TRUE(writeBytes(temp(QStringLiteral("wball.htm")), "an older document"));

    const ReportAssembly result = assembleReport(editor);

    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_TRUE(result.sections.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(result.path));
    EXPECT_EQ(QFileInfo(result.path).size(), 0);
}

TEST_F(ReportAssemblyTest, SectionShownBeforeIsShownAgain)
{
    newMs2Job();
    fillSection(1, QStringLiteral("one"));
    fillSection(3, QStringLiteral("three"));
    for (int before = 1; before <= kSectionCount; ++before) {
        SCOPED_TRACE(before);
        editor.showSection(before);
        QList<int> shown;
        const auto connection = QObject::connect(&editor, &JobEditor::shownSectionChanged,
                                                 [&shown](int n) { shown.append(n); });
        const ReportAssembly result = assembleReport(editor);
        QObject::disconnect(connection);
        ASSERT_TRUE(result.ok()) << result.error.toStdString();
        EXPECT_EQ(editor.activeSectionIndex(), before);
        EXPECT_EQ(shown, (QList<int>{1, 3, before}));
        // The page of the section shown again is the one its window previews.
        EXPECT_EQ(editor.pageUrl(before).toLocalFile(),
                  temp(QStringLiteral("wb%1.htm").arg(before)));
    }
}

TEST_F(ReportAssemblyTest, WithNoSectionShownTheLastOnePrintedStaysShown)
{
    // A fresh editor shows no section until New runs.
    ASSERT_EQ(editor.activeSectionIndex(), 0);
    editor.setOutside(1, 0, QStringLiteral("50"));
    editor.setOutside(3, 0, QStringLiteral("60"));

    const ReportAssembly result = assembleReport(editor);

    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.sections, (QList<int>{1, 3}));
    EXPECT_EQ(editor.activeSectionIndex(), 3);
    EXPECT_EQ(joined(), page(1) + kSeparator + page(3));
}

TEST_F(ReportAssemblyTest, PageThatCannotBeWrittenIsAnError)
{
    // The temp folder lies below a plain file, so no page can be written there.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    ASSERT_TRUE(writeBytes(blocker, "a file"));
    const QString folder = blocker + QStringLiteral("/temp");
    JobEditor blocked([this] { return table; },
                      PageOptions{LengthUnit::Millimetre, false, dir.path(), folder});
    blocked.setOutside(2, 0, QStringLiteral("50"));

    const ReportAssembly result = assembleReport(blocked);

    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.error.contains(folder + QStringLiteral("/wb2.htm")))
        << result.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(joinedDocumentPath(folder)));
}

TEST_F(ReportAssemblyTest, FailedSectionKeepsTheOlderDocument)
{
    Job job;
    for (int n = 1; n <= kSectionCount; ++n)
        job.section(n).setOutside(0, QStringLiteral("10"));
    const QString folder = dir.filePath(QStringLiteral("temp"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(writeBytes(joinedDocumentPath(folder), "an older document"));
    for (int n = 1; n <= kSectionCount; ++n)
        ASSERT_TRUE(writeBytes(temp(QStringLiteral("wb%1.htm").arg(n)), "page"));

    QList<int> shown;
    const ReportAssembly result = assembleReport(job, folder, [&shown](int n) {
        shown.append(n);
        return n == 3 ? QStringLiteral("Cannot write wb3.htm") : QString();
    });

    EXPECT_EQ(result.error, QStringLiteral("Cannot write wb3.htm"));
    // Nothing after the failed section is computed.
    EXPECT_EQ(shown, (QList<int>{1, 2, 3}));
    EXPECT_EQ(joined(), QByteArray("an older document"));
}

TEST_F(ReportAssemblyTest, MissingPageIsAnError)
{
    Job job;
    job.section(2).setOutside(0, QStringLiteral("10"));
    const QString folder = dir.filePath(QStringLiteral("temp"));
    ASSERT_TRUE(QDir().mkpath(folder));

    // A section shown without error whose page is not there.
    const ReportAssembly result = assembleReport(job, folder, [](int) { return QString(); });

    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.error.contains(QStringLiteral("wb2.htm"))) << result.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(joinedDocumentPath(folder)));
}

} // namespace
} // namespace corvane
