#include "webengine/pdfexport.h"

#include "testsupport.h"

#include <QSignalSpy>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

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

TEST(PdfExport, TheSandboxIsNamedOnlyWhenItIsTheCause)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only the root user has no sandbox";
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("wball.htm"));
    ASSERT_TRUE(test::writeBytes(page, "<html><body>report</body></html>"));
    // Whatever the tests' own environment says, the sandbox is on here.
    const QByteArray disabled = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    QStringList errors;
    for (const QString &pdf : {dir.filePath(QStringLiteral("report.pdf")),
                               dir.filePath(QStringLiteral("gone/report.pdf"))}) {
        PdfExport exporter;
        QObject::connect(&exporter, &PdfExport::finished,
                         [&errors](const QString &error) { errors << error; });
        exporter.start(page, pdf);
    }
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", disabled);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("sandbox for the root user")))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[1].endsWith(QStringLiteral("No such file or directory")))
        << errors[1].toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("report.pdf"))));
}

} // namespace
} // namespace corvane
