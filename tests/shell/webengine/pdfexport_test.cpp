#include "shell/webengine/pdfexport.h"

#include "testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(PdfExport, APdfThatCannotBeWrittenFailsBeforeTheEngineStarts)
{
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("wball.htm"));
    ASSERT_TRUE(test::writeBytes(page, "<html><body>report</body></html>"));
    PdfExport exporter;
    QSignalSpy finished(&exporter, &PdfExport::finished);
    const QString pdf = dir.filePath(QStringLiteral("gone/report.pdf"));
    exporter.start(page, pdf);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_FALSE(exporter.isRunning());
    EXPECT_EQ(finished.first().first().toString(),
              QStringLiteral("Cannot write %1: No such file or directory").arg(pdf));
}

} // namespace
} // namespace corvane
