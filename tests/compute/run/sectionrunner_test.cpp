#include "compute/run/sectionrunner.h"

#include "diagrams/imagecanvas.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

struct Folder
{
    QTemporaryDir dir;
    PageOptions options() const
    {
        return {LengthUnit::Millimetre, false, dir.path(), dir.filePath("temp")};
    }
    QString file(const QString &name) const { return dir.filePath("temp/" + name); }
};

TEST(SectionRunner, WritesThePicturesAndThePageAndLeavesTheJobAsItWas)
{
    Folder folder;
    Job job = test::workedExampleJob();
    job.setCommon(CommonText::Customer, QStringLiteral("Caf\u00e9 \u00d8"));
    job.section(1).vee(1).setItems({QStringLiteral("93")});
    job.section(1).vee(1).choose(0);
    const Job before = job;
    SectionRunner runner;
    const SectionRun run = runner.run(job, 1, test::workedExampleTable(), folder.options());
    EXPECT_TRUE(run.ok()) << run.error.toStdString();
    EXPECT_EQ(run.pageUrl.toLocalFile(), folder.file("wb1.htm"));
    EXPECT_EQ(test::readBytes(run.pagePath), run.page);
    EXPECT_TRUE(run.page.contains(QStringLiteral("Customer : <b>Caf\u00e9 \u00d8</b>").toUtf8()));
    // The vee of 93 is too wide: the calculation says so, the job is the caller's to colour.
    EXPECT_TRUE(run.calculation.veeFailed[1]);
    EXPECT_EQ(job, before);
    EXPECT_TRUE(run.page.contains("Error in Vee(s) selection."));
    EXPECT_FALSE(QFileInfo::exists(folder.file("md1.bmp")));

    job.section(1).vee(1).setItems({QStringLiteral("16")});
    job.section(1).vee(1).choose(0);
    ASSERT_TRUE(runner.run(job, 1, test::workedExampleTable(), folder.options()).ok());
    QImage section(folder.file("sd1.bmp"), "BMP");
    QImage marking(folder.file("md1.bmp"), "BMP");
    EXPECT_EQ(section.size(), QSize(400, 400));
    EXPECT_EQ(marking.size(), QSize(800, 400));
    // The flanges are drawn in gray, the marking diagram in black on white.
    bool gray = false;
    int dark = 0;
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 400; ++x)
            gray = gray || section.pixel(x, y) == qRgb(128, 128, 128);
        for (int x = 0; x < 800; ++x)
            dark += qGray(marking.pixel(x, y)) < 64;
    }
    EXPECT_TRUE(gray);
    EXPECT_GT(dark, 1000);

    // A vee too wide again: the marking picture of the earlier run stays.
    const QByteArray picture = test::readBytes(folder.file("md1.bmp"));
    job.section(1).vee(1).setItems({QStringLiteral("93")});
    job.section(1).vee(1).choose(0);
    ASSERT_TRUE(runner.run(job, 1, test::workedExampleTable(), folder.options()).ok());
    EXPECT_EQ(test::readBytes(folder.file("md1.bmp")), picture);
}

TEST(SectionRunner, FailedGateWritesTheHeaderPageAndKeepsThePictures)
{
    Folder folder;
    Job job = test::workedExampleJob();
    SectionRunner runner;
    runner.run(job, 1, test::workedExampleTable(), folder.options());
    const QByteArray picture = test::readBytes(folder.file("sd1.bmp"));
    job.material().unchoose();
    runner.run(job, 1, test::workedExampleTable(), folder.options());
    EXPECT_EQ(test::readBytes(folder.file("sd1.bmp")), picture);
    const QByteArray page = test::readBytes(folder.file("wb1.htm"));
    EXPECT_FALSE(page.contains("Section Specifications"));
    EXPECT_TRUE(page.endsWith("</body>\r\n</html>\r\n"));
}

TEST(SectionRunner, ADiagramsMarginIsMeasuredInTheFontTheSectionsLastRunLeft)
{
    // A new canvas measures in the design's 8.25 pt regular, a canvas after a run with a vee
    // error in the 9 pt bold of its section diagram; a run that is only noted counts as drawn.
    Folder folder;
    const Job job = test::workedExampleJob();
    Job tooWide = job;
    tooWide.section(1).vee(1).setItems({QStringLiteral("93")});
    tooWide.section(1).vee(1).choose(0);
    const BendTable &table = test::workedExampleTable();
    const auto picture = [&] {
        return test::readBytes(folder.file("sd1.bmp"));
    };

    SectionRunner runner;
    runner.run(job, 1, table, folder.options());
    const QByteArray fresh = picture();
    runner.run(tooWide, 1, table, folder.options());
    runner.run(job, 1, table, folder.options());
    const QByteArray afterError = picture();
    EXPECT_NE(fresh, afterError);

    SectionRunner noted;
    noted.note(tooWide, 1, table);
    noted.write(job, 1, noted.note(job, 1, table), folder.options());
    EXPECT_EQ(picture(), afterError);
    // New gives every canvas the design's font again.
    noted.reset();
    noted.run(job, 1, table, folder.options());
    EXPECT_EQ(picture(), fresh);
}

TEST(SectionRunner, RemakesADeletedTempFolderAndReportsAnUnwritableOne)
{
    Folder folder;
    Job job = test::workedExampleJob();
    SectionRunner runner;
    runner.run(job, 2, test::workedExampleTable(), folder.options());
    ASSERT_TRUE(QDir(folder.dir.filePath("temp")).removeRecursively());
    job.section(2) = job.section(1);
    EXPECT_TRUE(runner.run(job, 2, test::workedExampleTable(), folder.options()).ok());
    EXPECT_TRUE(QFileInfo::exists(folder.file("wb2.htm")));
    EXPECT_TRUE(QFileInfo::exists(folder.file("sd2.bmp")));

    PageOptions blocked = folder.options();
    blocked.tempFolder = folder.dir.filePath("file-in-the-way");
    ASSERT_TRUE(test::writeBytes(blocked.tempFolder, "x"));
    const SectionRun failed = runner.run(job, 2, test::workedExampleTable(), blocked);
    EXPECT_TRUE(failed.error.contains(blocked.tempFolder)) << failed.error.toStdString();
}

TEST(ImageCanvas, DegenerateScalesDrawNothingAndDoNotCrash)
{
    ImageCanvas canvas;
    canvas.setSize(6000, 6000);
    canvas.setScaleWidth(0);
    canvas.setScaleHeight(0);
    canvas.clear();
    canvas.line(0, 0, 10, 10);
    canvas.filledDot(1, 1, 1);
    canvas.print(QStringLiteral("x"));
    canvas.setScaleWidth(1);
    canvas.setScaleHeight(1);
    canvas.line(std::numeric_limits<float>::quiet_NaN(), 0, 1e30f, 1);
    canvas.box(0, 0, std::numeric_limits<float>::infinity(), 1);
    const QImage &image = canvas.image();
    EXPECT_EQ(image.size(), QSize(400, 400));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255));
    }
    EXPECT_TRUE(canvas.encodeBitmap().startsWith("BM"));
}

} // namespace
} // namespace corvane
