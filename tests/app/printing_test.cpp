#include "app/printing.h"

#include "ground/filewrite.h"
#include "webengine/pdfexport.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

#include <optional>

namespace corvane {
namespace {

// Rewrites path while a reader holds it open; true when the reader still reads the old bytes,
// that is, when the file was replaced whole rather than rewritten in place.
bool replacedWhole(const QString &path, const QByteArray &next)
{
    QFile reader(path);
    const QByteArray old = test::readBytes(path);
    return reader.open(QIODevice::ReadOnly) && overwriteFile(path, next).isEmpty() &&
           reader.readAll() == old && test::readBytes(path) == next;
}

TEST(RenderReportPdf, PicturesRewrittenWhileItRendersAreReplacedWhole)
{
    if (!PdfExport::sandboxProblem().isEmpty())
        GTEST_SKIP() << PdfExport::sandboxProblem().toStdString();
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("sd1.bmp"));
    const QString page = dir.filePath(QStringLiteral("wball.htm"));
    ASSERT_TRUE(test::writeBytes(picture, QByteArray(3000, 'a')));
    ASSERT_TRUE(test::writeBytes(page, "<html><body><img src='sd1.bmp'></body></html>"));

    // A keystroke while the engine renders: its picture is replaced whole.
    std::optional<bool> whole; // none: the keystroke came too late
    QTimer::singleShot(0, [&] { whole = replacedWhole(picture, QByteArray(3000, 'b')); });
    EXPECT_EQ(renderReportPdf(page, dir.filePath(QStringLiteral("report.pdf"))), QString());
    EXPECT_EQ(whole, true);
    EXPECT_TRUE(test::readBytes(dir.filePath(QStringLiteral("report.pdf"))).startsWith("%PDF-"));

    // A key typed while the engine renders reaches its box once the document has been rendered,
    // so that the document is of one computation, and it is not lost.
    QLineEdit box;
    box.show();
    box.setFocus();
    QTimer::singleShot(0, [&] {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QWindowSystemInterface::handleKeyEvent(box.windowHandle(), type, Qt::Key_5,
                                                   Qt::NoModifier, QStringLiteral("5"));
    });
    EXPECT_EQ(renderReportPdf(page, dir.filePath(QStringLiteral("report.pdf"))), QString());
    EXPECT_EQ(box.text(), QString());
    QCoreApplication::processEvents();
    EXPECT_EQ(box.text(), QStringLiteral("5"));
}

// The fraction of dark pixels on each page of a PDF, as pdftoppm draws them at 20 dpi.
std::vector<double> darkShareOfPages(const QString &pdf, const QString &folder)
{
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("20"),
                                                   QStringLiteral("-gray"), pdf, folder + "/page"});
    std::vector<double> shares;
    for (const QFileInfo &page :
         QDir(folder).entryInfoList({QStringLiteral("page*.pgm")}, QDir::Files, QDir::Name)) {
        const QImage image(page.filePath());
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        shares.push_back(double(dark) / (image.width() * image.height()));
    }
    return shares;
}

// Each page of the document is printed on a sheet of its own, as the engine drew it.
TEST(ReportPrinter, PrintsEveryPageOfTheDocumentOnASheet)
{
    if (!PdfExport::sandboxProblem().isEmpty())
        GTEST_SKIP() << PdfExport::sandboxProblem().toStdString();
    QTemporaryDir dir;
    const QString document = dir.filePath(QStringLiteral("wball.htm"));
    const QByteArray block = "<div style='width:100%;height:400px;background:black'></div>";
    ASSERT_TRUE(test::writeBytes(document, "<html><body>" + block +
                                               "<p style='page-break-before:always'></p>" + block +
                                               "</body></html>"));
    ReportPrinter printer(nullptr);
    QString error;
    ASSERT_TRUE(printer.load(document, dir.filePath(QStringLiteral("report.pdf")), &error))
        << error.toStdString();
    ASSERT_EQ(printer.pageCount(), 2);

    QPrinter sheets(QPrinter::HighResolution);
    sheets.setOutputFormat(QPrinter::PdfFormat);
    sheets.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
    ASSERT_TRUE(printer.print(sheets));
    QTemporaryDir pages;
    const std::vector<double> dark =
        darkShareOfPages(dir.filePath(QStringLiteral("printed.pdf")), pages.path());
    ASSERT_EQ(dark.size(), 2u);
    for (const double share : dark)
        EXPECT_GT(share, 0.1);
}

} // namespace
} // namespace corvane
