#include "app/desktopcommand.h"
#include "ground/maker.h"
#include "report/reportcommand.h"

#include "testsupport.h"

#include <QRegularExpression>
#include <QSet>

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

test::ProgramRun runDesktopProgram(const QStringList &arguments, bool withPlatform)
{
    QProcessEnvironment platform;
    if (withPlatform)
        platform.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return test::runProgram(QStringLiteral(CORVANE_PROGRAM), arguments, {}, platform);
}

// A shell, a script or the file manager asking: answered without a display, and a wrong command
// line ends the program with status 2 before any window opens.
TEST(DesktopProgram, AnswersHelpAndVersionWithoutADisplayAndRefusesAWrongCommandLine)
{
    const test::ProgramRun help = runDesktopProgram({QStringLiteral("--help")}, false);
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    EXPECT_EQ(help.out, desktopHelp());

    const test::ProgramRun version = runDesktopProgram({QStringLiteral("--version")}, false);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "corvane " + maker::versionText() + "\n");

    const test::ProgramRun wrong =
        runDesktopProgram({QStringLiteral("a.bm"), QStringLiteral("b.bm")}, true);
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.err.contains("corvane: one job file at a time\nusage: corvane"))
        << wrong.err.toStdString();
}

// A manual page as sections of plain lines: escapes for the minus and fonts taken out.
struct ManPage
{
    QString version;                     // the .TH line's source field, "Corvane 6.0.0"
    QMap<QString, QStringList> sections; // "OPTIONS": its lines, requests included
};

ManPage readManPage(const QString &name)
{
    QString text = QString::fromUtf8(
        test::readBytes(QStringLiteral(CORVANE_SOURCE_DIR "/data/%1.1").arg(name)));
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"))
        .replace(QStringLiteral("\\(dq"), QStringLiteral("\""))
        .remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
    ManPage page;
    QString section;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String(".TH "))) {
            const QStringList fields = line.split(QLatin1Char('"'));
            page.version = fields.value(1);
        } else if (line.startsWith(QLatin1String(".SH "))) {
            section = line.mid(4).remove(QLatin1Char('"'));
        } else {
            page.sections[section] << line;
        }
    }
    return page;
}

// A set as one sorted line, for messages that can be read.
std::string listed(const QSet<QString> &set)
{
    QStringList list(set.begin(), set.end());
    list.sort();
    return list.join(QLatin1Char(' ')).toStdString();
}

// The words that name an option: "--table", "-h".
QSet<QString> optionsIn(const QString &text)
{
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-z][a-z-]*"));
    QSet<QString> found;
    for (auto it = option.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured());
    return found;
}

// The tags of a section's .TP paragraphs, as text.
QStringList tagsOf(const QStringList &lines)
{
    QStringList tags;
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] == QLatin1String(".TP"))
            tags << lines[i + 1].section(QLatin1Char(' '), 1).remove(QLatin1Char('"'));
    }
    return tags;
}

// The exit statuses a help text names: "0 when ...", "2 when ...".
QSet<QString> exitStatusesIn(const QString &help)
{
    static const QRegularExpression status(QStringLiteral("\\b([0-9]) when\\b"));
    QSet<QString> found;
    for (auto it = status.globalMatch(help); it.hasNext();)
        found.insert(it.next().captured(1));
    return found;
}

// Every option of the help has an entry of its own in OPTIONS and no entry names another; the
// synopsis has the options of the usage; the exit statuses, the files and the version agree.
void expectPageTrueToHelp(const ManPage &page, const QString &help, const QString &usage)
{
    const QStringList options = page.sections.value(QStringLiteral("OPTIONS"));
    QSet<QString> entries;
    for (const QString &tag : tagsOf(options))
        entries.unite(optionsIn(tag));
    EXPECT_EQ(listed(entries), listed(optionsIn(help)));
    EXPECT_EQ(
        listed(optionsIn(page.sections.value(QStringLiteral("SYNOPSIS")).join(QLatin1Char(' ')))),
        listed(optionsIn(usage)));

    QSet<QString> statuses;
    for (const QString &tag : tagsOf(page.sections.value(QStringLiteral("EXIT STATUS"))))
        statuses.insert(tag);
    EXPECT_EQ(listed(statuses), listed(exitStatusesIn(help)));

    static const QRegularExpression file(
        QStringLiteral("~/[\\w./]*\\w|\\b\\w[\\w-]*\\.(?:xls|png|conf|so)\\b"));
    const QString files = page.sections.value(QStringLiteral("FILES")).join(QLatin1Char('\n'));
    for (auto it = file.globalMatch(help); it.hasNext();) {
        const QString name = it.next().captured();
        EXPECT_TRUE(files.contains(name)) << name.toStdString();
    }
    EXPECT_EQ(page.version, QStringLiteral("Corvane ") + maker::versionText());
}

TEST(ManualPages, CorvaneSaysWhatItsHelpSays)
{
    expectPageTrueToHelp(readManPage(QStringLiteral("corvane")), desktopHelp(), desktopUsage());
}

TEST(ManualPages, CorvaneReportSaysWhatItsHelpSays)
{
    const ManPage page = readManPage(QStringLiteral("corvane-report"));
    const QString help = reportHelp(QStringLiteral("PROGRAM"));
    expectPageTrueToHelp(page, help, reportUsage());

    // The words that end a section's line: "  vee error    a vee is too wide ...".
    static const QRegularExpression status(QStringLiteral("^  ([a-z][a-z ]*[a-z])  +\\S"),
                                           QRegularExpression::MultilineOption);
    QSet<QString> statuses;
    for (auto it = status.globalMatch(help); it.hasNext();)
        statuses.insert(it.next().captured(1));
    EXPECT_EQ(statuses.size(), 5);
    const QStringList output = tagsOf(page.sections.value(QStringLiteral("OUTPUT")));
    EXPECT_EQ(listed(QSet<QString>(output.begin(), output.end())), listed(statuses));
}

} // namespace
} // namespace corvane
