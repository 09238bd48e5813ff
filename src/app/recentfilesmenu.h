#pragma once

// The menu of the Open button's arrow: the recent job files (settings.h), numbered, newest first.

#include <QMenu>

namespace corvane {

class RecentFilesMenu : public QMenu
{
    Q_OBJECT

public:
    explicit RecentFilesMenu(QWidget *parent);

    // Lists the recent files as they now are.
    void refresh();

Q_SIGNALS:
    void fileChosen(const QString &path);
};

} // namespace corvane
