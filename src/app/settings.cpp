#include "app/settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace corvane {

namespace {

const QString kRecentFiles = QStringLiteral("recentFiles");

} // namespace

QVariant Settings::value(const QString &key)
{
    QSettings settings;
    if (!settings.contains(key)) {
        const QSettings earlier(QStringLiteral("Unknown Organization"),
                                QCoreApplication::applicationName());
        if (earlier.contains(key))
            settings.setValue(key, earlier.value(key));
    }
    return settings.value(key);
}

QStringList Settings::recentFiles() const
{
    return value(kRecentFiles).toStringList();
}

void Settings::addRecentFile(const QString &path)
{
    QStringList files = recentFiles();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kRecentFileCount)
        files.removeLast();
    QSettings().setValue(kRecentFiles, files);
}

} // namespace corvane
