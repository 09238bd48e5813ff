#include "editing/sectionrunner.h"

#include "testsupport.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

// The worked example with the given vee for its second bend: "93" is too wide.
Job workedExample(const char *secondVee = "16")
{
    Job job = test::workedExampleJob();
    job.section(1) = test::makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", secondVee}});
    return job;
}

class SectionRunnerTest : public testing::Test
{
protected:
    SectionRun run(const Job &job, int number = 1)
    {
        return runner.run(job, number, test::workedExampleTable(), options);
    }
    QByteArray file(const char *name) const
    {
        return test::readBytes(dir.filePath("temp/") + name);
    }

    QTemporaryDir dir;
    PageOptions options{LengthUnit::Millimetre, false, dir.path(), dir.filePath("temp")};
    SectionRunner runner;
};

TEST_F(SectionRunnerTest, ASectionDiagramIsMeasuredInTheFontTheSectionsLastRunLeft)
{
    // A canvas after a run with a vee error measures in what its section diagram left, not in
    // the marking diagram's font, nor in the 8.25 pt regular of a new canvas.
    run(workedExample());
    const QByteArray fresh = file("sd1.bmp");
    run(workedExample());
    const QByteArray afterRun = file("sd1.bmp");
    run(workedExample("93"));
    run(workedExample());
    const QByteArray afterError = file("sd1.bmp");
    EXPECT_NE(fresh, afterError);
    EXPECT_NE(afterRun, afterError);

    // A run only noted counts as drawn; New gives every canvas its first font again.
    SectionRunner noted;
    const BendTable &table = test::workedExampleTable();
    noted.note(workedExample("93"), 1, table);
    noted.write(workedExample(), 1, noted.note(workedExample(), 1, table), options);
    EXPECT_EQ(file("sd1.bmp"), afterError);
    noted.reset();
    noted.run(workedExample(), 1, table, options);
    EXPECT_EQ(file("sd1.bmp"), fresh);
}

TEST_F(SectionRunnerTest, WritesThePageInUtf8AndThePicturesOrKeepsThoseOfTheRunBeforeIfItDrawsNone)
{
    Job job = workedExample();
    job.setCommon(CommonText::Customer, QStringLiteral("Caf\u00e9 \u00d8"));
    const SectionRun done = run(job);
    ASSERT_TRUE(done.ok()) << done.error.toStdString();
    EXPECT_EQ(done.pageUrl.toLocalFile(), dir.filePath("temp/wb1.htm"));
    EXPECT_EQ(file("wb1.htm"), done.page);
    EXPECT_TRUE(done.page.contains(QStringLiteral("Customer : <b>Caf\u00e9 \u00d8</b>").toUtf8()));
    ASSERT_EQ(done.pictures.size(), 2);
    EXPECT_EQ(done.pictures[0].path, dir.filePath("temp/sd1.bmp"));
    EXPECT_EQ(done.pictures[1].path, dir.filePath("temp/md1.bmp"));
    for (const FileContent &picture : done.pictures)
        EXPECT_EQ(test::readBytes(picture.path), picture.bytes) << picture.path.toStdString();
    // The marking diagram is drawn into a picture of its own size.
    const QByteArray marking = file("md1.bmp");
    EXPECT_EQ(QImage::fromData(marking, "BMP").size(), QSize(800, 400));

    // A vee too wide draws no marking diagram, a failed gate no picture at all; the calculation
    // says which vee is too wide, and the job is the caller's to colour.
    EXPECT_TRUE(run(workedExample("93")).calculation.veeFailed[1]);
    EXPECT_EQ(file("md1.bmp"), marking);
    const QByteArray section = file("sd1.bmp");
    job.material().unchoose();
    EXPECT_TRUE(run(job).pictures.isEmpty());
    EXPECT_EQ(file("sd1.bmp"), section);
}

TEST_F(SectionRunnerTest, MakesATempFolderThatWentAgainAndNamesOneItCannotMake)
{
    ASSERT_TRUE(QDir().mkpath(options.tempFolder));
    ASSERT_TRUE(QDir(options.tempFolder).removeRecursively());
    EXPECT_TRUE(run(workedExample(), 2).ok());
    EXPECT_FALSE(file("wb2.htm").isEmpty());

    options.tempFolder = dir.filePath("file-in-the-way");
    ASSERT_TRUE(test::writeBytes(options.tempFolder, "x"));
    const SectionRun failed = run(workedExample());
    EXPECT_TRUE(failed.error.contains(options.tempFolder)) << failed.error.toStdString();
}

} // namespace
} // namespace corvane
