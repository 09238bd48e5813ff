#include "app/desktopcommand.h"

#include "ground/maker.h"
#include "report/reportcommand.h"
#include "testsupport.h"

#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace corvane {
namespace {

using Action = DesktopArguments::Action;

// What each reading means to corvane; the reading itself is CommandLineReader's.
TEST(DesktopCommand, OneJobFileOrAQuestionAndNothingElse)
{
    const struct
    {
        QStringList arguments;
        Action action;
        const char *jobOrError;
    } rows[] = {
        {{}, Action::Run, ""},
        {{"/jobs/a.bm"}, Action::Run, "/jobs/a.bm"},
        {{"a.bm", "-h"}, Action::Help, ""},
        {{"--version", "--open"}, Action::Version, ""},
        {{"--open"}, Action::Usage, "unknown option --open"},
        {{"a.bm", "b.bm"}, Action::Usage, "one job file at a time"},
    };
    for (const auto &row : rows) {
        const DesktopArguments read = parseDesktopArguments(row.arguments);
        EXPECT_EQ(read.action, row.action) << row.jobOrError;
        EXPECT_EQ(read.action == Action::Usage ? read.error : read.jobPath, row.jobOrError);
    }
}

// A shell, a script or the file manager asking: answered without a display, and a wrong command
// line ends the program with status 2 before any window opens. The version is the installed
// package's test.
TEST(DesktopProgram, AnswersHelpWithoutADisplayAndRefusesAWrongCommandLine)
{
    const QString program = QStringLiteral(CORVANE_PROGRAM);
    const test::ProgramRun help = test::runProgram(program, {QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    EXPECT_EQ(help.out, desktopHelp());

    QProcessEnvironment offscreen; // a window could open
    offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const test::ProgramRun wrong = test::runProgram(program, {"a.bm", "b.bm"}, {}, offscreen);
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.err.contains("corvane: one job file at a time\nusage: corvane"))
        << wrong.err.toStdString();
}

// The manual pages say what the help says: every option of the help has an entry in OPTIONS and
// no entry names another, the synopsis has the usage's options, the version is the program's, and
// corvane-report's OUTPUT lists the statuses of its help.
TEST(ManualPages, SayWhatTheHelpSays)
{
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-z][a-z-]*"));
    static const QRegularExpression status(QStringLiteral("^  ([a-z][a-z ]*[a-z])  +\\S"),
                                           QRegularExpression::MultilineOption);
    const auto matches = [](const QRegularExpression &re, const QString &text, int group = 0) {
        QStringList found;
        for (auto it = re.globalMatch(text); it.hasNext();)
            found << it.next().captured(group);
        found.removeDuplicates();
        found.sort();
        return found;
    };
    const struct
    {
        const char *page;
        QString help, usage;
    } pages[] = {{"corvane", desktopHelp(), desktopUsage()},
                 {"corvane-report", reportHelp(QStringLiteral("/opt")), reportUsage()}};
    for (const auto &[name, help, usage] : pages) {
        QString text = QString::fromUtf8(test::readBytes(
            QStringLiteral(CORVANE_SOURCE_DIR "/data/%1.1").arg(QLatin1String(name))));
        text.replace(QStringLiteral("\\-"), QStringLiteral("-"))
            .remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
        QMap<QString, QString> sections; // each section's text, and the .TP tags of each
        QMap<QString, QString> tags;
        QString section;
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].startsWith(QLatin1String(".SH ")))
                section = lines[i].mid(4).remove(u'"');
            sections[section] += lines[i] + u'\n';
            if (lines[i] == QLatin1String(".TP") && i + 1 < lines.size())
                tags[section] += lines[i + 1].section(u' ', 1).remove(u'"') + u'\n';
        }
        EXPECT_EQ(matches(option, tags["OPTIONS"]), matches(option, help)) << name;
        EXPECT_EQ(matches(option, sections["SYNOPSIS"]), matches(option, usage)) << name;
        EXPECT_TRUE(text.startsWith(QStringLiteral(".TH ")) &&
                    text.section(u'\n', 0, 0).contains("\"Corvane " + maker::versionText() + '"'))
            << name;
        QStringList outputs = tags["OUTPUT"].split(u'\n', Qt::SkipEmptyParts);
        outputs.sort();
        if (QLatin1String(name) == QLatin1String("corvane-report")) {
            EXPECT_EQ(outputs.join(u','), matches(status, help, 1).join(u','));
        }
    }
}

} // namespace
} // namespace corvane
