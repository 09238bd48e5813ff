#include "app/previewpane.h"

#include "editing/sectionrunner.h"
#include "testsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace corvane {
namespace {

QWebEngineView *webView(const PreviewPane &pane)
{
    return qobject_cast<QWebEngineView *>(pane.view());
}

// A pane of the size the window gives it, shown and started.
void startPane(PreviewPane &pane)
{
    pane.resize(900, 700);
    pane.show();
    pane.start();
}

bool waitForPage(QSignalSpy &shown, const QUrl &url)
{
    for (int i = 0; i < 150; ++i) {
        if (!shown.isEmpty() && shown.last()[0].toUrl() == url)
            return shown.last()[1].toBool();
        shown.wait(200);
    }
    return false;
}

TEST(PreviewPane, RunsNoScriptAndReachesNoNetwork)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    int connections = 0;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        ++connections;
        delete server.nextPendingConnection();
    });
    QTemporaryDir dir;
    const QByteArray address = "http://127.0.0.1:" + QByteArray::number(server.serverPort()) + "/";
    const QString path = dir.filePath(QStringLiteral("wb1.htm"));
    ASSERT_TRUE(test::writeBytes(
        path, "<html><head><title>report</title><link rel='stylesheet' href='" + address +
                  "x.css'></head><body><script>document.title='scripted';</script><img src='" +
                  address + "x.png' onerror=\"document.title='img'\"></body></html>"));
    PreviewPane pane;
    startPane(pane);
    QSignalSpy shown(&pane, &PreviewPane::pageShown);
    const QUrl url = QUrl::fromLocalFile(path);
    pane.showPage(url);
    ASSERT_TRUE(waitForPage(shown, url));
    EXPECT_EQ(webView(pane)->page()->title(), "report");
    // A link in the page does not lead away from it.
    webView(pane)->setUrl(QUrl(QString::fromLatin1(address))); // what a followed link asks for
    QTest::qWait(1000);
    EXPECT_EQ(connections, 0);
}

TEST(PreviewPane, RewrittenPageIsShownAgainWithoutQueueingOrLoadingTwice)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wb1.htm"));
    const auto write = [&path](const char *title) {
        return test::writeBytes(path, QByteArray("<html><head><title>") + title + "</title>");
    };
    const QUrl url = QUrl::fromLocalFile(path);
    ASSERT_TRUE(write("one"));
    PreviewPane pane;
    startPane(pane);
    QSignalSpy shown(&pane, &PreviewPane::pageShown);
    const auto title = [&pane] {
        return webView(pane)->page()->title();
    };
    pane.showPage(url);
    ASSERT_TRUE(waitForPage(shown, url));

    // Asked for with its old contents and again once rewritten, in one go (a section shown, then
    // computed): one load, of the new page.
    shown.clear();
    pane.showPage(url);
    ASSERT_TRUE(write("new"));
    pane.showPage(url);
    ASSERT_TRUE(waitForPage(shown, url));
    QTest::qWait(300);
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(title(), "new");

    // Rewritten while it loads: the load that follows counts as under way, so that a page asked
    // for meanwhile waits for it instead of a second load queueing beside it.
    bool loadingAfterShown = false;
    QObject::connect(&pane, &PreviewPane::pageShown, &pane, [&] {
        QTimer::singleShot(0, &pane, [&] { loadingAfterShown = pane.loading(); });
    });
    shown.clear();
    pane.showPage(url);
    QCoreApplication::processEvents();
    ASSERT_TRUE(write("newer"));
    pane.showPage(url);
    ASSERT_TRUE(shown.wait(5000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(loadingAfterShown);
    for (int i = 0; i < 50 && title() != "newer"; ++i)
        shown.wait(100);
    EXPECT_EQ(title(), "newer");
}

// Runs a script of the program's own in the page shown and returns its result.
QVariant evaluate(PreviewPane &pane, const QString &script)
{
    QVariant result;
    bool done = false;
    webView(pane)->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                         [&](const QVariant &value) {
                                             result = value;
                                             done = true;
                                         });
    for (int i = 0; i < 100 && !done; ++i)
        QTest::qWait(50);
    return result;
}

// A page that the pane shows already is brought up to date in place: it then looks exactly as the
// same file loaded afresh, keeps the place scrolled to, and takes its pictures from the run, not
// from files that the next run may be rewriting; while a load reads files, they are replaced whole.
// The engine keeps the pictures of every update: after 32 updates the page is loaded afresh
// instead, which lets them go.
TEST(PreviewPane, APageUpdatedInPlaceLooksAsTheFileLoadedAfreshUntilTheThirtyThird)
{
    QTemporaryDir dir;
    const PageOptions options{LengthUnit::Millimetre, false, dir.path(), dir.filePath("temp")};
    Job job = test::workedExampleJob();
    SectionRunner runner;
    const SectionRun first = runner.run(job, 1, test::workedExampleTable(), options);
    ASSERT_TRUE(first.ok()) << first.error.toStdString();
    const QString picture = first.pictures.value(0).path;
    ASSERT_EQ(first.pictures.size(), 2);

    PreviewPane pane;
    startPane(pane);
    QSignalSpy shown(&pane, &PreviewPane::pageShown);
    pane.showPage(first.pageUrl, first.page, first.pictures);
    QCoreApplication::processEvents();
    ASSERT_TRUE(pane.loading());
    const auto inode = [&] {
        struct stat info
        {};
        return ::stat(QFile::encodeName(picture).constData(), &info) == 0 ? quint64(info.st_ino)
                                                                          : 0;
    };
    const quint64 loaded = inode();
    ASSERT_EQ(overwriteFile(picture, first.pictures[0].bytes), QString());
    EXPECT_NE(inode(), loaded) << "a picture rewritten in place while the page loads";
    ASSERT_TRUE(waitForPage(shown, first.pageUrl));

    // A world of the program's own, which a load would make anew.
    evaluate(pane, QStringLiteral("window.loadMark = 1; window.scrollTo(0, 120);"));
    job.section(1).setOutside(0, QStringLiteral("61"));
    const SectionRun second = runner.run(job, 1, test::workedExampleTable(), options);
    ASSERT_TRUE(second.ok());
    ASSERT_NE(second.pictures[0].bytes, first.pictures[0].bytes);
    // The files hold something else: the pictures shown are the run's.
    for (const FileContent &file : second.pictures)
        ASSERT_TRUE(test::writeBytes(file.path, QByteArray(file.bytes.size(), '\0')));
    shown.clear();
    pane.showPage(second.pageUrl, second.page, second.pictures);
    ASSERT_TRUE(waitForPage(shown, second.pageUrl));
    EXPECT_EQ(evaluate(pane, QStringLiteral("window.loadMark")).toInt(), 1);
    EXPECT_EQ(evaluate(pane, QStringLiteral("window.scrollY")).toInt(), 120);
    evaluate(pane, QStringLiteral("window.scrollTo(0, 0);"));
    QTest::qWait(300);
    const QImage updated = pane.grab().toImage();

    for (const FileContent &file : second.pictures)
        ASSERT_TRUE(test::writeBytes(file.path, file.bytes));
    const auto update = [&] {
        shown.clear();
        pane.showPage(second.pageUrl, second.page, second.pictures);
        return waitForPage(shown, second.pageUrl);
    };
    for (int count = 2; count <= 32; ++count)
        ASSERT_TRUE(update()) << count;
    EXPECT_EQ(evaluate(pane, QStringLiteral("window.loadMark")).toInt(), 1);
    ASSERT_TRUE(update());
    EXPECT_EQ(evaluate(pane, QStringLiteral("window.loadMark")).toInt(), 0);

    PreviewPane fresh;
    startPane(fresh);
    QSignalSpy freshShown(&fresh, &PreviewPane::pageShown);
    fresh.showPage(second.pageUrl);
    ASSERT_TRUE(waitForPage(freshShown, second.pageUrl));
    QTest::qWait(300);
    EXPECT_EQ(fresh.grab().toImage(), updated);
}

} // namespace
} // namespace corvane
