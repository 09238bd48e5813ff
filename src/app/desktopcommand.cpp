#include "app/desktopcommand.h"

#include "ground/commandline.h"

namespace corvane {

DesktopArguments parseDesktopArguments(const QStringList &arguments)
{
    DesktopArguments result;
    auto usageError = [&result](const QString &message) {
        result.action = DesktopArguments::Action::Usage;
        result.error = message;
        return result;
    };
    QStringList jobs;
    CommandLineReader line(
        arguments, {QStringLiteral("--help"), QStringLiteral("-h"), QStringLiteral("--version")});
    while (const std::optional<CommandLineItem> item = line.next()) {
        if (!item->error.isEmpty())
            return usageError(item->error);
        if (item->option.isEmpty()) {
            jobs << item->value;
        } else {
            result.action = item->option == QLatin1String("--version")
                                ? DesktopArguments::Action::Version
                                : DesktopArguments::Action::Help;
            return result;
        }
    }
    if (jobs.size() > 1)
        return usageError(QStringLiteral("one job file at a time"));
    result.jobPath = jobs.value(0);
    return result;
}

QString desktopUsage()
{
    return QStringLiteral("usage: corvane [JOB.bm]\n"
                          "       corvane --help | --version");
}

QString desktopHelp()
{
    return desktopUsage() + QStringLiteral(R"(

Corvane, the press-brake bending calculator. The job's details and up to five
sections are typed in its windows; the preview shows the shown section's report
page after every keystroke. corvane-report computes saved jobs without the
desktop.

  JOB.bm          a job file to open once the window is up, as Open would
  -h, --help      show this text
  --version       show the version

One Corvane runs at a time for a user: a second start says "Corvane is already
running" and ends.

The program folder holds BendTbl.xls, the bend table, logo.png, the logo of the
report pages, and temp/, the report pages and pictures the preview shows. It is
the executable's folder when that holds BendTbl.xls, logo.png or
corvane-webengine.so; otherwise ~/.local/share/Corvane, filled from the
installed BendTbl.xls and logo.png on first start. The recent files are kept in
~/.config/Corvane/Corvane.conf.

Exit status: 0 when the program ends, also when another Corvane is already
running; 2 when the command line is wrong.

The preview is shown by QtWebEngine, whose sandbox does not start for the root
user: run Corvane as an ordinary user.
)");
}

} // namespace corvane
