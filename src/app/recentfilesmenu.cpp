#include "app/recentfilesmenu.h"

#include "app/settings.h"

#include <QDir>

namespace corvane {

RecentFilesMenu::RecentFilesMenu(QWidget *parent) : QMenu(parent)
{
    refresh();
}

void RecentFilesMenu::refresh()
{
    clear();
    const QStringList files = Settings().recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction *action =
            addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        connect(action, &QAction::triggered, this, [this, path] { Q_EMIT fileChosen(path); });
    }
    if (files.isEmpty())
        addAction(tr("No recent files"))->setEnabled(false);
}

} // namespace corvane
