#include "editing/sectionrunner.h"

#include "diagrams/imagecanvas.h"
#include "diagrams/sectiondiagram.h"
#include "testsupport.h"

#include <QBuffer>
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
    QTemporaryDir dir;
    PageOptions options{LengthUnit::Millimetre, false, dir.path(), dir.filePath("temp")};
    SectionRunner runner;

    SectionRun run(const Job &job, int number = 1)
    {
        return runner.run(job, number, test::workedExampleTable(), options);
    }
    QByteArray file(const char *name) const
    {
        return test::readBytes(dir.filePath("temp/") + name);
    }
};

TEST_F(SectionRunnerTest, WritesWhatItDrawsInTheFontTheLastRunLeftAndNamesWhatItCannotWrite)
{
    // A new canvas measures in the design's 8.25 pt regular, a canvas after a run with a vee
    // error in the 9 pt bold of its section diagram; a run that is only noted counts as drawn.
    const SectionRun first = run(workedExample());
    const QByteArray fresh = file("sd1.bmp");
    ImageCanvas design;
    drawSectionDiagram(design, workedExample().section(1), first.calculation.lastFlange,
                       options.unit);
    EXPECT_EQ(design.encodeBitmap(), fresh);
    run(workedExample("93"));
    run(workedExample());
    const QByteArray afterError = file("sd1.bmp");
    EXPECT_NE(fresh, afterError);

    SectionRunner noted;
    const BendTable &table = test::workedExampleTable();
    noted.note(workedExample("93"), 1, table);
    noted.write(workedExample(), 1, noted.note(workedExample(), 1, table), options);
    EXPECT_EQ(file("sd1.bmp"), afterError);
    // New gives every canvas the design's font again.
    noted.reset();
    noted.run(workedExample(), 1, table, options);
    EXPECT_EQ(file("sd1.bmp"), fresh);

    Job job = workedExample();
    job.setCommon(CommonText::Customer, QStringLiteral("Caf\u00e9 \u00d8"));
    const SectionRun fine = run(job);
    ASSERT_TRUE(fine.ok()) << fine.error.toStdString();
    EXPECT_EQ(fine.pageUrl.toLocalFile(), dir.filePath("temp/wb1.htm"));
    EXPECT_EQ(file("wb1.htm"), fine.page);
    EXPECT_TRUE(fine.page.contains(QStringLiteral("Customer : <b>Caf\u00e9 \u00d8</b>").toUtf8()));
    // The marking diagram is drawn into its picture.
    const QImage marking = QImage::fromData(file("md1.bmp"), "BMP");
    QImage blank(marking.size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_NE(marking.convertToFormat(QImage::Format_RGB32), blank);

    // A vee too wide: the calculation says so (the job is the caller's to colour), and the
    // marking picture of the earlier run stays.
    const QByteArray markingBytes = file("md1.bmp");
    EXPECT_TRUE(run(workedExample("93")).calculation.veeFailed[1]);
    EXPECT_EQ(file("md1.bmp"), markingBytes);

    // A failed gate writes the header page and keeps the pictures.
    const QByteArray sectionBytes = file("sd1.bmp");
    job.material().unchoose();
    run(job);
    EXPECT_EQ(file("sd1.bmp"), sectionBytes);
    EXPECT_FALSE(file("wb1.htm").contains("Section Specifications"));

    // A temp folder that went meanwhile is made again; one that cannot be made is named.
    ASSERT_TRUE(QDir(options.tempFolder).removeRecursively());
    job.material().choose(0);
    job.section(2) = job.section(1);
    EXPECT_TRUE(run(job, 2).ok());
    EXPECT_FALSE(file("sd2.bmp").isEmpty());

    options.tempFolder = dir.filePath("file-in-the-way");
    ASSERT_TRUE(test::writeBytes(options.tempFolder, "x"));
    const SectionRun failed = run(workedExample());
    EXPECT_TRUE(failed.error.contains(options.tempFolder)) << failed.error.toStdString();
}

// The pictures are written as Qt's BMP writer writes them, rows of every width padded alike.
TEST(ImageCanvas, EncodesItsPicturesAsQtsBmpWriterDoes)
{
    for (const int width : {400, 401, 402, 403, 1}) {
        QImage image(width, 3, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, qRgb(x * 7 % 256, y * 91 % 256, (x + y) * 13 % 256));
        }
        QByteArray expected;
        QBuffer buffer(&expected);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "BMP"));
        EXPECT_EQ(encodeBmp24(image), expected) << width;
    }
}

TEST(ImageCanvas, DrawsInItsColoursAndNothingOfADegenerateScale)
{
    QImage white(400, 400, QImage::Format_RGB32);
    white.fill(Qt::white);
    ImageCanvas canvas;
    canvas.setSize(6000, 6000);
    canvas.setScaleWidth(10);
    canvas.setScaleHeight(10);
    canvas.clear();
    // A text hangs from its position, here the top left corner.
    canvas.print(QStringLiteral("X"));
    EXPECT_NE(canvas.image().copy(0, 0, 20, 20), white.copy(0, 0, 20, 20));
    canvas.line(0, 5, 10, 5, QColor(128, 128, 128));
    EXPECT_EQ(canvas.image().pixel(200, 200), qRgb(128, 128, 128));
    // A dot is filled.
    canvas.filledDot(5, 8, 1);
    EXPECT_EQ(canvas.image().pixel(200, 320), qRgb(0, 0, 0));

    canvas.setScaleWidth(0);
    canvas.setScaleHeight(0);
    canvas.clear();
    canvas.line(0, 0, 10, 10);
    canvas.filledDot(1, 1, 1);
    canvas.print(QStringLiteral("x"));
    canvas.setScaleWidth(1);
    canvas.setScaleHeight(1);
    canvas.line(0, 0.5f, 1e30f, 0.5f);
    canvas.box(0, 0, std::numeric_limits<float>::infinity(), 1);
    canvas.filledDot(std::numeric_limits<float>::quiet_NaN(), 0.5f, 0.1f);
    EXPECT_EQ(canvas.image(), white);
}

} // namespace
} // namespace corvane
