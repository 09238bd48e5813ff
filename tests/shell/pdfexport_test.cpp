#include "shell/pdfexport.h"

#include "shell/filewrite.h"
#include "testsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

// Rewrites path while a reader holds it open; true when the reader still reads the old bytes,
// that is, when the file was replaced whole rather than rewritten in place.
bool replacedWhole(const QString &path, const QByteArray &next)
{
    QFile reader(path);
    if (!reader.open(QIODevice::ReadOnly))
        return false;
    const QByteArray old = test::readBytes(path);
    if (!overwriteFile(path, next).isEmpty())
        return false;
    return reader.readAll() == old && test::readBytes(path) == next;
}

TEST(PdfExport, PicturesRewrittenWhileItRendersAreReplacedWhole)
{
    if (!PdfExport::sandboxProblem().isEmpty())
        GTEST_SKIP() << PdfExport::sandboxProblem().toStdString();
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("sd1.bmp"));
    const QString page = dir.filePath(QStringLiteral("wball.htm"));
    ASSERT_TRUE(test::writeBytes(picture, QByteArray(3000, 'a')));
    ASSERT_TRUE(test::writeBytes(page, "<html><body><img src='sd1.bmp'></body></html>"));

    PdfExport exporter;
    QSignalSpy finished(&exporter, &PdfExport::finished);
    exporter.start(page, dir.filePath(QStringLiteral("report.pdf")));
    ASSERT_TRUE(exporter.isRunning());
    EXPECT_TRUE(replacedWhole(picture, QByteArray(3000, 'b')));
    ASSERT_TRUE(finished.wait(PdfExport::kTimeoutMs));
    EXPECT_EQ(finished.first().first().toString(), QString());

    // After the export, keystrokes rewrite in place again, also after an export that failed.
    EXPECT_FALSE(replacedWhole(picture, QByteArray(3000, 'c')));
    finished.clear();
    // A PDF that cannot be written fails before the engine starts.
    exporter.start(page, dir.filePath(QStringLiteral("gone/report.pdf")));
    ASSERT_EQ(finished.size(), 1);
    EXPECT_FALSE(exporter.isRunning());
    EXPECT_NE(finished.first().first().toString(), QString());
    EXPECT_FALSE(replacedWhole(picture, QByteArray(3000, 'd')));
}

} // namespace
} // namespace corvane
