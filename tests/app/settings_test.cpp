#include "app/settings.h"

#include <QDir>
#include <QSettings>

#include <gtest/gtest.h>

namespace corvane {
namespace {

const QString kKey = QStringLiteral("recentFiles");

TEST(Settings, RecentFilesKeptUnderTheOldNameAreTakenOverOnce)
{
    QSettings().remove(kKey);
    QSettings earlier(QStringLiteral("Unknown Organization"), QStringLiteral("Corvane"));
    earlier.setValue(kKey, QStringList{"/jobs/a.bm", "/jobs/b.bm"});
    earlier.sync();
    EXPECT_EQ(Settings().recentFiles(), (QStringList{"/jobs/a.bm", "/jobs/b.bm"}));
    // Kept in the program's own place from now on.
    EXPECT_EQ(QSettings().value(kKey).toStringList(), Settings().recentFiles());
    earlier.setValue(kKey, QStringList{"/jobs/c.bm"});
    earlier.sync();
    EXPECT_EQ(Settings().recentFiles().value(0), "/jobs/a.bm");
    earlier.remove(kKey);
}

TEST(Settings, RecentFilesAreTheLastEightNewestFirstOnceEachAndAbsolute)
{
    QSettings().remove(kKey);
    Settings settings;
    for (int i = 0; i < 10; ++i)
        settings.addRecentFile(QStringLiteral("/jobs/%1.bm").arg(i));
    settings.addRecentFile(QStringLiteral("/jobs/5.bm"));
    settings.addRecentFile(QStringLiteral("here.bm"));
    QStringList expected = {QDir::current().absoluteFilePath("here.bm")};
    for (int i : {5, 9, 8, 7, 6, 4, 3})
        expected << QStringLiteral("/jobs/%1.bm").arg(i);
    EXPECT_EQ(settings.recentFiles(), expected);
    QSettings().remove(kKey);
}

} // namespace
} // namespace corvane
