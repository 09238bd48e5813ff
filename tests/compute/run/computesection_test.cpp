#include "compute/run/computesection.h"

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

TEST(ComputeSection, WritesThePageAndBothPicturesAndReportsItsStatus)
{
    Folder folder;
    Job job = test::workedExampleJob();
    job.setCommon(CommonText::Customer, QStringLiteral("Caf\u00e9 \u00d8"));
    ImageCanvas canvas;
    QStringList statuses;
    const SectionRun run = computeSection(job, 1, test::workedExampleTable(), folder.options(),
                                          canvas, [&](const QString &text) { statuses << text; });
    EXPECT_TRUE(run.error.isEmpty()) << run.error.toStdString();
    EXPECT_EQ(statuses, (QStringList{"Computing...", ""}));
    EXPECT_EQ(run.pagePath, folder.file("wb1.htm"));
    EXPECT_EQ(run.pageUrl.toLocalFile(), folder.file("wb1.htm"));

    const QByteArray page = test::readBytes(folder.file("wb1.htm"));
    EXPECT_TRUE(page.contains(QStringLiteral("Customer : <b>Caf\u00e9 \u00d8</b>").toUtf8()));
    EXPECT_TRUE(page.contains("Total : 192.36"));

    QImage section(folder.file("sd1.bmp"), "BMP");
    QImage marking(folder.file("md1.bmp"), "BMP");
    ASSERT_FALSE(section.isNull());
    ASSERT_FALSE(marking.isNull());
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
    EXPECT_EQ(QDir(folder.dir.filePath("temp")).entryList(QDir::Files).size(), 3);
}

TEST(ComputeSection, VeeErrorKeepsTheOldMarkingPictureAndTurnsTheVeeRed)
{
    Folder folder;
    Job job = test::workedExampleJob();
    ImageCanvas canvas;
    computeSection(job, 1, test::workedExampleTable(), folder.options(), canvas);
    const QByteArray before = test::readBytes(folder.file("md1.bmp"));

    job.section(1).vee(1).setItems({QStringLiteral("93")});
    job.section(1).vee(1).choose(0);
    const SectionRun run =
        computeSection(job, 1, test::workedExampleTable(), folder.options(), canvas);
    EXPECT_TRUE(run.calculation.veeError);
    EXPECT_TRUE(job.section(1).veeRed(1));
    EXPECT_FALSE(job.section(1).veeRed(0));
    EXPECT_EQ(test::readBytes(folder.file("md1.bmp")), before);
    EXPECT_TRUE(test::readBytes(folder.file("wb1.htm")).contains("Error in Vee(s) selection."));
}

TEST(ComputeSection, FailedGateWritesTheHeaderPageAndKeepsThePictures)
{
    Folder folder;
    Job job = test::workedExampleJob();
    ImageCanvas canvas;
    computeSection(job, 1, test::workedExampleTable(), folder.options(), canvas);
    const QByteArray picture = test::readBytes(folder.file("sd1.bmp"));
    job.material().unchoose();
    computeSection(job, 1, test::workedExampleTable(), folder.options(), canvas);
    EXPECT_EQ(test::readBytes(folder.file("sd1.bmp")), picture);
    const QByteArray page = test::readBytes(folder.file("wb1.htm"));
    EXPECT_FALSE(page.contains("Section Specifications"));
    EXPECT_TRUE(page.endsWith("</body>\r\n</html>\r\n"));
}

TEST(ComputeSection, RemakesADeletedTempFolderAndReportsAnUnwritableOne)
{
    Folder folder;
    Job job = test::workedExampleJob();
    ImageCanvas canvas;
    computeSection(job, 2, test::workedExampleTable(), folder.options(), canvas);
    ASSERT_TRUE(QDir(folder.dir.filePath("temp")).removeRecursively());
    job.section(2) = job.section(1);
    const SectionRun run =
        computeSection(job, 2, test::workedExampleTable(), folder.options(), canvas);
    EXPECT_TRUE(run.error.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(folder.file("wb2.htm")));
    EXPECT_TRUE(QFileInfo::exists(folder.file("sd2.bmp")));

    PageOptions blocked = folder.options();
    blocked.tempFolder = folder.dir.filePath("file-in-the-way");
    ASSERT_TRUE(test::writeBytes(blocked.tempFolder, "x"));
    const SectionRun failed = computeSection(job, 2, test::workedExampleTable(), blocked, canvas);
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
