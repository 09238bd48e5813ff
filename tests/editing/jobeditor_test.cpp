#include "editing/jobeditor.h"

#include "editortest.h"
#include "ground/numbers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::bendRecord;

using JobEditorTest = test::EditorTest;

TEST_F(JobEditorTest, NewJobListsTheMaterialsAndShowsSectionOneWithTheInUseMarks)
{
    // Which sections are in use is job_test.cpp's; the marks wait for the next section shown.
    editor.setCommonText(0, "old");
    editor.setOutside(5, 0, "5");
    EXPECT_FALSE(editor.inUseMark(5));
    editor.showSection(3);
    EXPECT_TRUE(editor.inUseMark(5) && !editor.inUseMark(1));

    editor.newJob();
    EXPECT_EQ(job().material().items(), (QStringList{"AL", "MS"}));
    EXPECT_EQ(editor.activeSectionIndex(), 1);
    EXPECT_FALSE(job().isChanged());
    EXPECT_TRUE(page(1).contains("Customer : <b></b>"));
}

TEST_F(JobEditorTest, ChoicesCascadeThroughThicknessesAndVeesOfEverySection)
{
    chooseMildSteel2();
    EXPECT_EQ(job().veeAll().items(), (QStringList{"16", "93", "10"}));
    for (int n = 1; n <= kSectionCount; ++n) {
        for (int j = 0; j < kBendCount; ++j) {
            EXPECT_EQ(job().section(n).vee(j).items(), job().veeAll().items());
            EXPECT_EQ(job().section(n).vee(j).text(), "16") << n << ' ' << j;
        }
    }
    editor.markSaved();
    editor.chooseVeeAll(2);
    EXPECT_TRUE(job().isChanged());
    EXPECT_EQ(job().section(5).vee(9).text(), "10");
    EXPECT_EQ(job().section(1).vee(0).text(), "10");

    // A thickness whose records have gone from the workbook leaves the lists as they were.
    table = std::make_shared<const BendTable>(
        std::vector<BendRecord>{bendRecord("MS", 2, 16, 0.33, 2, "YES")});
    editor.chooseThickness(job().thickness().items().indexOf("3"));
    EXPECT_EQ(job().thickness().text(), "3");
    EXPECT_EQ(job().veeAll().items(), (QStringList{"16", "93", "10"}));

    // Another material refills the thicknesses, none chosen, and leaves the vees.
    table = shop;
    editor.chooseMaterial(job().material().items().indexOf("AL"));
    EXPECT_EQ(job().thickness().items(), QStringList{"1"});
    EXPECT_EQ(job().section(4).vee(9).text(), "10");
}

TEST_F(JobEditorTest, AnglesAreBroughtIntoRangeInTheirBox)
{
    // 3780 is ten and a half turns, 180, which reads 0.
    const std::pair<const char *, const char *> cases[] = {
        {"190", "-170"},     {"180", "0"},  {"-180", "-180"},  {"-181", "179"},
        {"540", "0"},        {"90", "90"},  {"abc", "abc"},    {"190abc", "-170"},
        {"180.5", "-179.5"}, {"3780", "0"}, {"-3780", "-180"},
    };
    for (const auto &[typed, shown] : cases)
        EXPECT_EQ(JobEditor::normalisedAngle(typed), shown) << typed;
    // Very many turns come into range too, without turning for ever.
    for (const char *huge : {"1e300", "-1e300", "1e20", "123456789012345678"}) {
        const double a = readNumber(JobEditor::normalisedAngle(huge));
        EXPECT_TRUE(a > -180 && a < 180) << huge;
    }
    editor.setAngle(2, 4, "190");
    EXPECT_EQ(job().section(2).angle(4), "-170");
    EXPECT_TRUE(job().isChanged());
}

TEST_F(JobEditorTest, EditsRecomputeAndColourTheShownSectionOnlyAndRequestsChangeNothing)
{
    fillWorkedExample();
    editor.setOutside(1, 2, "60");
    EXPECT_TRUE(page(1).contains("Total : 202.36"));
    editor.setOutside(2, 0, "80");
    EXPECT_TRUE(page(2).isEmpty());
    editor.showSection(2);
    const QByteArray second = page(2);
    EXPECT_TRUE(second.contains("Total : 80"));
    editor.showSection(1);
    editor.setView(2, "Side");
    EXPECT_EQ(page(2), second);

    // The unit, the detail and a recompute request rewrite the page, but are no edits.
    editor.markSaved();
    editor.setUnit(LengthUnit::DecimalInch);
    EXPECT_TRUE(page(1).contains("Total : 7.967"));
    editor.setDetailed(true);
    EXPECT_TRUE(page(1).contains("colspan='9'"));
    editor.requestRecompute();
    EXPECT_FALSE(job().isChanged());

    // A vee too wide turns red; when it stays red is bendcalculation_test.cpp's to check.
    editor.chooseVee(1, 0, job().section(1).vee(0).items().indexOf("93"));
    EXPECT_TRUE(job().section(1).veeRed(0));
    editor.chooseVee(1, 0, 0);
    EXPECT_FALSE(job().section(1).veeRed(0));
}

TEST_F(JobEditorTest, MergedRecomputesLeaveThePicturesEveryRunWouldHaveLeft)
{
    fillWorkedExample();
    editor.chooseVeeAll(1); // 93 everywhere: a vee error
    // Vee All 16 passes through a state with one vee still too wide before all are fine.
    editor.chooseVeeAll(0);

    // The same runs one by one, each drawn and written.
    Job reference = test::workedExampleJob();
    SectionRunner runner;
    QTemporaryDir other;
    const PageOptions options{LengthUnit::Millimetre, false, other.path(), other.filePath("temp")};
    auto run = [&](const char *vee0, const char *vee1) {
        reference.section(1) = test::makeSection({"50", "100", "50"}, {{"90", vee0}, {"90", vee1}});
        runner.run(reference, 1, *table, options);
    };
    // Vee All 93 ends in an error; Vee All 16 sets bend 0 (still an error), then bend 1 (fine),
    // then the other rows and the recompute request (fine, and each starts from a fine run).
    run("93", "93");
    run("16", "93");
    run("16", "16");
    run("16", "16");
    for (const char *name : {"temp/sd1.bmp", "temp/md1.bmp"})
        EXPECT_EQ(test::readBytes(dir.filePath(name)), test::readBytes(other.filePath(name)));
}

TEST_F(JobEditorTest, OpenRestoresEveryTextChoosesListItemsByTextAndKeepsTheOthers)
{
    fillWorkedExample();
    editor.setCommonText(0, "Acme, Inc.");
    editor.chooseVeeAll(1);
    editor.chooseVee(1, 0, 0);
    editor.setView(2, "Side");
    editor.chooseRotate(2, 3);
    editor.setScale(2, 0);
    editor.setNotes(2, "a\r\nb");
    editor.setOutside(2, 0, "70");
    const JobFileContent saved = jobFileContent(job());
    editor.openContent(saved);
    EXPECT_EQ(jobFileContent(job()), saved);
    EXPECT_FALSE(job().isChanged());
    EXPECT_TRUE(page(1).contains("Customer : <b>Acme, Inc.</b>"));

    // Items that the lists do not hold choose nothing and set off no cascade; angles come into
    // range.
    JobFileContent content;
    content[JobField::material()] = "CU"; // gone from the table: no thickness, no vees
    content[JobField::thickness()] = "2";
    content[JobField::angle(1, 0)] = "190";
    content[JobField::rotate(1)] = "0"; // without the blank: no item matches
    editor.openContent(content);
    EXPECT_EQ(job().material().chosen(), -1);
    EXPECT_TRUE(job().thickness().items().isEmpty() && job().veeAll().items().isEmpty());
    EXPECT_EQ(job().section(1).angle(0), "-170");
    EXPECT_EQ(job().section(1).rotate().chosen(), -1);

    // A bend vee the list does not hold keeps the one Vee All gave it.
    fillWorkedExample();
    content = jobFileContent(job());
    content[JobField::veeAll()] = "93";
    content[JobField::vee(1, 3)] = "40";
    editor.openContent(content);
    EXPECT_EQ(job().section(1).vee(3).text(), "93");
}

// corvane-report opens a job without writing its pages; what it keeps of the shown section is
// that section's own calculation.
TEST_F(JobEditorTest, WithoutWritingPagesEachSectionKeepsItsOwnCalculation)
{
    fillWorkedExample();
    editor.setOutside(3, 0, "70");
    const float total = editor.lastRun(1).calculation.unfoldedTotal;
    const JobFileContent content = jobFileContent(job());

    editor.setWritesPages(false);
    editor.openContent(content);
    EXPECT_EQ(editor.lastRun(1).calculation.unfoldedTotal, total);
}

} // namespace
} // namespace corvane
