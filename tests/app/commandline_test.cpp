#include "app/desktopcommand.h"

#include "testsupport.h"

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

} // namespace
} // namespace corvane
