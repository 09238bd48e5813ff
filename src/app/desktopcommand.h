#pragma once

// The desktop program's command line: a job file to open at start, or a question answered on
// standard output without starting the window.

#include <QString>
#include <QStringList>

namespace corvane {

struct DesktopArguments
{
    enum class Action
    {
        Run,
        Help,
        Version,
        Usage
    };
    Action action = Action::Run;
    QString jobPath; // Run: the job file to open once the window is up, or empty
    QString error;   // Usage: what is wrong with the command line
};

// The arguments after the program's name. "--" ends the options, so that a job file whose name
// begins with "-" can be named.
DesktopArguments parseDesktopArguments(const QStringList &arguments);

QString desktopUsage();
QString desktopHelp();

} // namespace corvane
