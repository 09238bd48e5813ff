#pragma once

// What the desktop program keeps between runs: the recent job files, in Corvane's own settings
// file (~/.config/Corvane/Corvane.conf, named by the application's organisation and name).
//
// Every QSettings of the program is read and written here, and so is the move from where early
// builds kept their settings: before the program named its organisation, Qt kept them under
// "Unknown Organization", and a value kept there is taken over once, the first time it is read
// and the program's own file has none.

#include <QString>
#include <QStringList>
#include <QVariant>

namespace corvane {

class Settings
{
public:
    // How many job files the recent list keeps.
    static constexpr int kRecentFileCount = 8;

    // The job files opened or saved last, newest first, as absolute paths.
    QStringList recentFiles() const;
    // Puts path at the head of the recent files, once, dropping the oldest beyond the count.
    void addRecentFile(const QString &path);

private:
    // The value of key, taken over from the early builds' place when the program's own has none.
    static QVariant value(const QString &key);
};

} // namespace corvane
