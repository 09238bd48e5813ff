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

using test::readBytes;

struct Folder
{
    QTemporaryDir dir;
    PageOptions options() const
    {
        return {LengthUnit::Millimetre, false, dir.path(), dir.filePath("temp")};
    }
    QString file(const QString &name) const { return dir.filePath("temp/" + name); }
};

// The worked example with the given vee for its second bend: "93" is too wide.
Job workedExample(const char *secondVee = "16")
{
    Job job = test::workedExampleJob();
    job.section(1).vee(1).setItems({QString::fromUtf8(secondVee)});
    job.section(1).vee(1).choose(0);
    return job;
}

int pixelsWhere(const QImage &image, const std::function<bool(QRgb)> &which)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += which(image.pixel(x, y));
    }
    return count;
}

TEST(SectionRunner, WritesWhatItDrawsAndKeepsThePicturesItDoesNotDraw)
{
    Folder folder;
    SectionRunner runner;
    const auto run = [&](const Job &job) {
        return runner.run(job, 1, test::workedExampleTable(), folder.options());
    };
    Job job = workedExample();
    job.setCommon(CommonText::Customer, QStringLiteral("Caf\u00e9 \u00d8"));
    const SectionRun fine = run(job);
    ASSERT_TRUE(fine.ok()) << fine.error.toStdString();
    EXPECT_EQ(fine.pageUrl.toLocalFile(), folder.file("wb1.htm"));
    EXPECT_EQ(readBytes(fine.pagePath), fine.page);
    EXPECT_TRUE(fine.page.contains(QStringLiteral("Customer : <b>Caf\u00e9 \u00d8</b>").toUtf8()));
    // The flanges are drawn in gray, the marking diagram in black on white.
    const QImage section(folder.file("sd1.bmp"), "BMP");
    const QImage marking(folder.file("md1.bmp"), "BMP");
    EXPECT_EQ(section.size(), QSize(400, 400));
    EXPECT_EQ(marking.size(), QSize(800, 400));
    EXPECT_GT(pixelsWhere(section, [](QRgb p) { return p == qRgb(128, 128, 128); }), 0);
    EXPECT_GT(pixelsWhere(marking, [](QRgb p) { return qGray(p) < 64; }), 1000);

    // A vee too wide: the calculation says so (the job is the caller's to colour), and the
    // marking picture of the earlier run stays.
    const QByteArray markingBytes = readBytes(folder.file("md1.bmp"));
    const SectionRun error = run(workedExample("93"));
    EXPECT_TRUE(error.calculation.veeFailed[1]);
    EXPECT_EQ(readBytes(folder.file("md1.bmp")), markingBytes);

    // A failed gate writes the header page and keeps the pictures.
    const QByteArray sectionBytes = readBytes(folder.file("sd1.bmp"));
    job.material().unchoose();
    run(job);
    EXPECT_EQ(readBytes(folder.file("sd1.bmp")), sectionBytes);
    EXPECT_FALSE(readBytes(folder.file("wb1.htm")).contains("Section Specifications"));

    // A temp folder that went meanwhile is made again; one that cannot be made is named.
    ASSERT_TRUE(QDir(folder.dir.filePath("temp")).removeRecursively());
    EXPECT_TRUE(run(workedExample()).ok());
    EXPECT_TRUE(QFileInfo::exists(folder.file("sd1.bmp")));
    PageOptions blocked = folder.options();
    blocked.tempFolder = folder.dir.filePath("file-in-the-way");
    ASSERT_TRUE(test::writeBytes(blocked.tempFolder, "x"));
    const SectionRun failed = runner.run(workedExample(), 1, test::workedExampleTable(), blocked);
    EXPECT_TRUE(failed.error.contains(blocked.tempFolder)) << failed.error.toStdString();
}

TEST(SectionRunner, ADiagramsMarginIsMeasuredInTheFontTheSectionsLastRunLeft)
{
    // A new canvas measures in the design's 8.25 pt regular, a canvas after a run with a vee
    // error in the 9 pt bold of its section diagram; a run that is only noted counts as drawn.
    Folder folder;
    const Job job = workedExample();
    const Job tooWide = workedExample("93");
    const BendTable &table = test::workedExampleTable();
    const auto picture = [&] {
        return readBytes(folder.file("sd1.bmp"));
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
    QImage white(400, 400, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(canvas.image(), white);
    EXPECT_TRUE(canvas.encodeBitmap().startsWith("BM"));
}

} // namespace
} // namespace corvane
