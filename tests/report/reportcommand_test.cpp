#include "report/reportcommand.h"

#include "bendtable/bendtablesource.h"
#include "calculation/testbend.h"
#include "editing/jobeditor.h"
#include "ground/jobfile.h"
#include "report/reportassembly.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace corvane {
namespace {

using namespace test;

const QString kSample = QStringLiteral(CORVANE_SOURCE_DIR "/examples/bracket.bm");
const QString kReportProgram = QStringLiteral(CORVANE_REPORT_PROGRAM);

// The program folder of the built corvane-report: its own folder, which holds BendTbl.xls.
QString reportProgramFolder()
{
    return QFileInfo(kReportProgram).canonicalPath();
}

ReportArguments parse(const QStringList &arguments)
{
    return parseReportArguments(QStringList{"corvane-report"} + arguments);
}

TEST(ReportArguments, ReadsEveryOptionAndAnswersAWrongCommandLineOrHelp)
{
    const ReportArguments a = parse({"--table", "-t.xls", "--out=pages", "--unit", "fraction",
                                     "--detailed", "--pdf", "r.pdf", "--", "-job.bm"});
    ASSERT_EQ(a.action, ReportArguments::Action::Run) << a.error.toStdString();
    EXPECT_EQ(a.options.tablePath, "-t.xls");
    EXPECT_EQ(a.options.outFolder, "pages");
    EXPECT_EQ(a.options.unit, LengthUnit::FractionalInch);
    EXPECT_TRUE(a.options.detailed);
    EXPECT_EQ(a.options.pdfPath, "r.pdf");
    EXPECT_EQ(a.options.jobPaths, QStringList{"-job.bm"}); // after "--" one may begin with a dash
    // Jobs before and after the options, and the defaults.
    const ReportArguments b = parse({"job.bm", "--unit=in", "b.bm"});
    EXPECT_EQ(b.options.unit, LengthUnit::DecimalInch);
    EXPECT_EQ(b.options.jobPaths, (QStringList{"job.bm", "b.bm"}));
    EXPECT_EQ(parse({"job.bm"}).options.unit, LengthUnit::Millimetre);

    // Wrong command lines give the usage; how the words are read is CommandLineReader's.
    const struct
    {
        QStringList arguments;
        const char *says;
    } rows[] = {
        {{"--bo\ngus", "job.bm"}, "unknown option --bo\\ngus"},
        {{"--unit", "MM", "job.bm"}, "unknown unit MM"},
        {{"--detailed"}, "no job file given"},
        {{"--check-table", "job.bm"}, "--check-table takes no job file"},
        {{"--check-table", "--test-bend"}, "--check-table and --test-bend go apart"},
        {{"--material", "MS", "job.bm"}, "--material belongs to --test-bend"},
        {{"--test-bend", "--material", "MS", "--vee=16"}, "--test-bend needs --thickness"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const ReportOutcome outcome =
            runReportCommand(QStringList{"corvane-report"} + row.arguments, "/opt/corvane", {});
        EXPECT_EQ(outcome.exitStatus, 2);
        EXPECT_TRUE(outcome.out.isEmpty());
        EXPECT_TRUE(outcome.err.contains(QString::fromUtf8(row.says))) << outcome.err.toStdString();
        EXPECT_TRUE(outcome.err.endsWith(reportUsage() + '\n')) << outcome.err.toStdString();
    }
    // Help goes before the rest and names the defaults of the program folder.
    const ReportOutcome help =
        runReportCommand({"corvane-report", "--unit", "in", "-h"}, "/opt/corvane", {});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_TRUE(help.out.startsWith(reportUsage()) &&
                help.out.contains("/opt/corvane/BendTbl.xls") &&
                help.out.contains("/opt/corvane/temp"));
}

// The table check and the test bend from the command line: their lines and statuses.
TEST(ReportArguments, TableCheckAndTestBendPrintTheirLinesAndStatus)
{
    QTemporaryDir dir;
    const QString table = dir.filePath("BendTbl.xls");
    ASSERT_TRUE(writeBytes(table, textWorkbook({{"material", "thickness", "vee", "standard",
                                                 "k_factor", "internal_radius", "version"},
                                                {"MS", "2", "16", "YES", "1.4", "2", "v1"}})));
    const auto run = [](const QStringList &arguments) {
        return runReportCommand(QStringList{"corvane-report"} + arguments, "/opt/corvane", {});
    };
    const ReportOutcome found = run({"--check-table", "--table", table});
    EXPECT_EQ(found.out, "row 2: k_factor: 1.4 is outside 0 to 1\n1 finding\n");
    EXPECT_EQ(found.exitStatus, 1);
    const ReportOutcome clean =
        run({"--check-table", "--table", QStringLiteral(CORVANE_SOURCE_DIR "/data/BendTbl.xls")});
    EXPECT_EQ(clean.out, "0 findings\n");
    EXPECT_EQ(clean.exitStatus, 0);
    const ReportOutcome missing = run({"--check-table", "--table", dir.filePath("none.xls")});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_TRUE(missing.err.contains(dir.filePath("none.xls"))) << missing.err.toStdString();

    const QStringList bend = {"--test-bend", "--material", "MS",      "--thickness", "2",
                              "--vee",       "16",         "--angle", "90",          "--blank",
                              "96.178325",   "--table",    table};
    // The three numbers of the test bend as the calculation works them out, rounded.
    const ReportOutcome measured = run(bend + QStringList{"--flanges", "50,50.2", "--radius", "2"});
    EXPECT_EQ(measured.exitStatus, 0);
    const TestBendResult worked = workOutTestBend(
        {2, 90, 96.178325f, 50, 50.2f, 2.0f}, BendTableSource(table).table()->lookup("MS", 2, 16));
    EXPECT_EQ(measured.out,
              QStringLiteral("bend deduction %1 mm\nbend allowance %2 mm\nK factor %3\n")
                  .arg(worked.bd, 0, 'f', 2)
                  .arg(worked.ba, 0, 'f', 2)
                  .arg(worked.kFactor, 0, 'f', 4));
    // The table row's radius, when none is measured; flanges measured inside are noted.
    const ReportOutcome inside = run(bend + QStringList{"--flanges", "48,48"});
    EXPECT_EQ(inside.exitStatus, 0);
    EXPECT_TRUE(inside.err.contains("measured on the inside")) << inside.err.toStdString();

    // What cannot be worked out ends with status 1 and one line saying why: a value given that is
    // no number a single holds, a result that comes out as none, a named table that cannot be read.
    const struct
    {
        const char *from, *to; // one value of bend replaced
        QStringList more;
        const char *says;
    } wrong[] = {
        {"", "", {"--flanges", "50"}, "--flanges: give the two flanges"},
        {"", "", {"--flanges", ","}, "--flanges: the first flange is missing"},
        {"", "", {"--flanges", "1e308,1e308"}, "--flanges: 1e308 is too large to compute with"},
        {"", "", {"--flanges", "50,5O"}, "--flanges: 5O is no number"},
        {"", "", {"--flanges", "50,50", "--radius", "1e39"}, "--radius: 1e39 is too large"},
        {"96.178325", "3.5e38", {"--flanges", "50,50"}, "--blank: 3.5e38 is too large"},
        {"MS", "AL", {"--flanges", "50,50"}, "no single row"},
        {"", "", {"--flanges", "50,50", "--radius", "2", "--table", "none.xls"}, "none.xls"},
    };
    for (const auto &row : wrong) {
        QStringList arguments = bend;
        if (*row.from)
            arguments.replaceInStrings(QRegularExpression(QStringLiteral("^%1$").arg(row.from)),
                                       row.to);
        const ReportOutcome outcome = run(arguments + row.more);
        EXPECT_EQ(outcome.exitStatus, 1) << row.says;
        EXPECT_TRUE(outcome.out.isEmpty()) << row.says;
        EXPECT_EQ(outcome.err.count('\n'), 1) << row.says;
        EXPECT_TRUE(outcome.err.contains(QString::fromUtf8(row.says))) << outcome.err.toStdString();
    }
}

TEST(ReportLine, GivesTheLengthInTheUnitOrSaysWhatIsWrongWithASection)
{
    const auto line = [](const Section &s, const char *material = "MS",
                         LengthUnit unit = LengthUnit::Millimetre, int n = 1) {
        return sectionLine(n, calculateSection(s, material, "2", test::workedExampleTable()), unit);
    };
    // Unfolded 192.35664 mm: 192.36 mm, 7 9/16 in.
    const Section example = test::workedExampleJob().section(1);
    EXPECT_EQ(line(example), "1 3 192.36 mm ok");
    EXPECT_EQ(line(example, "MS", LengthUnit::FractionalInch, 5), "5 3 7 9/16 in ok");
    // Vee 93 is too wide for the 50 mm end flanges; without a material nothing is computed.
    const Section wide = makeSection({"50", "100", "50"}, {{"90", "93"}, {"90", "16"}});
    EXPECT_EQ(line(wide), "1 3 192.36 mm vee error");
    EXPECT_EQ(line(wide, ""), "1 0 0 mm no material or thickness");
    // Vee 25 has two records: that bend takes nothing off the flat lengths.
    EXPECT_EQ(line(makeSection({"50", "100", "50"}, {{"90", "25"}, {"90", "16"}})),
              "1 3 196.18 mm bend not in table");
}

class ReportProgramTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    // The canonical path: the program writes absolute paths into its pages.
    QString root = QFileInfo(dir.path()).canonicalFilePath();
    QString path(const QString &name) const { return root + '/' + name; }

    // The pages and pictures of sections 1 and 2 in folder.
    static QList<QByteArray> files(const QString &folder)
    {
        QList<QByteArray> files;
        for (int n : {1, 2}) {
            for (const char *name : {"wb%1.htm", "sd%1.bmp", "md%1.bmp"})
                files.append(readBytes(folder + '/' + QString::fromLatin1(name).arg(n)));
        }
        return files;
    }
};

TEST_F(ReportProgramTest, SampleJobGivesThePagesOfTheEditingModel)
{
    // A relative output folder, made by the program.
    const ProgramRun run = runProgram(kReportProgram, {"--out", "pages", kSample}, root);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Bracket 40, 60, 25 on vee 12 (K 0.38, IR 1.92): BD 3.630259 twice, 117.73948 unfolded.
    // Channel 30, 80, 30 on vee 16 (K 0.43, IR 2.56): BD 3.747869 twice, 132.50426 unfolded.
    EXPECT_EQ(run.out, "1 3 117.74 mm ok\n2 3 132.5 mm ok\n");

    const QString pages = path("pages");
    const QList<QByteArray> written = files(pages);
    EXPECT_EQ(readBytes(pages + QStringLiteral("/wball.htm")),
              written[0] + pageSeparator() + written[3]);

    // The pages the editing model writes for the same job with the program's folder, as Print
    // would: the logo and the pictures named alike.
    BendTableSource source(reportProgramFolder() + QStringLiteral("/BendTbl.xls"));
    const auto table = source.table();
    JobEditor editor([table] { return table; },
                     PageOptions{LengthUnit::Millimetre, false, reportProgramFolder(), pages});
    editor.openContent(readJobFile(kSample).content);
    editor.showSection(2);
    editor.showSection(1);
    EXPECT_TRUE(files(pages) == written);
    // Nothing but the pages, pictures and joined document.
    EXPECT_EQ(QDir(pages).entryList(QDir::Files, QDir::Name),
              (QStringList{"md1.bmp", "md2.bmp", "sd1.bmp", "sd2.bmp", "wb1.htm", "wb2.htm",
                           "wball.htm"}));
}

// Texts that do not read as they show are noted on standard error, and the status stands.
TEST_F(ReportProgramTest, TextsNotReadAsTheyShowAreNotedALineEach)
{
    QByteArray bytes = readBytes(kSample);
    bytes.replace("\"40\",\"90\"", "\"1e100\",\"90\"")
        .replace("\"60\",\"-90\"", "\"60,5\",\"-90deg\"");
    ASSERT_TRUE(writeBytes(path("odd.bm"), bytes));
    ReportOptions options;
    options.jobPaths = {path("odd.bm")};
    options.outFolder = path("pages");
    const ReportOutcome outcome = runReport(options, reportProgramFolder(), {});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.out, "1 0 0 mm length out of range\n2 3 132.5 mm ok\n");
    EXPECT_EQ(outcome.err,
              "section 1, flange 1: \"1e100\" is too large to compute with: read as 0\n"
              "section 1, flange 2: \"60,5\" is read as 60\n"
              "section 1, angle 2: \"-90deg\" is read as -90\n");
}

TEST_F(ReportProgramTest, FailuresExitWithOneLineAndWriteNothing)
{
    const QString blocker = path("blocker");
    ASSERT_TRUE(writeBytes(blocker, "a file"));
    const QString pages = path("pages");

    const struct
    {
        const char *what;
        QStringList arguments;
        QString named; // the error line names it
    } rows[] = {
        {"unreadable job", {"--out", pages, path("missing.bm")}, path("missing.bm")},
        {"missing table", {"--table", path("none.xls"), "--out", pages, kSample}, path("none.xls")},
        {"output below a file",
         {"--out", blocker + "/pages", kSample},
         blocker + "/pages: " + blocker + " is a file, not a folder"},
        {"PDF below a file",
         {"--out", pages, "--pdf", blocker + "/report.pdf", kSample},
         blocker + "/report.pdf: " + blocker + " is a file, not a folder"},
        {"PDF into a missing folder",
         {"--out", pages, "--pdf", path("none/report.pdf"), kSample},
         path("none/report.pdf")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const ProgramRun run = runProgram(kReportProgram, row.arguments, root);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        ASSERT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("corvane-report: ")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(row.named)) << run.err.toStdString();
        // Every one of them is found before a page is written.
        EXPECT_TRUE(QDir(pages).entryList(QDir::Files).isEmpty());
        EXPECT_FALSE(QFileInfo::exists(blocker + "/pages"));
    }
}

// Several jobs in one run: each as it would be alone, in a folder of its own, its lines under its
// name; one that fails is reported and the others run, and the status is the worst.
TEST_F(ReportProgramTest, SeveralJobsInOneRunAreEachReportedAsAlone)
{
    const QString truncated = path("truncated.bm");
    ASSERT_TRUE(writeBytes(truncated, readBytes(kSample).left(300)));
    JobFileContent channel = readJobFile(kSample).content;
    channel[JobField::outside(1, 0)] = QStringLiteral("55");
    ASSERT_TRUE(writeJobFile(channel, path("channel.job.bm")).ok());
    ASSERT_TRUE(QDir().mkpath(path("other")));
    ASSERT_TRUE(QFile::copy(kSample, path("other/bracket.bm")));

    // A job of no section in use leaves the page of the section that opening it shows.
    ASSERT_TRUE(writeJobFile(jobFileContent(Job()), path("empty.bm")).ok());
    // What an earlier run wrote and this one does not goes; files that are no run's stay.
    ASSERT_TRUE(QDir().mkpath(path("pages/empty")));
    for (const char *name : {"sd1.bmp", "md1.bmp", "wb3.htm", "md5.bmp", "wb6.htm"})
        ASSERT_TRUE(writeBytes(path("pages/empty/") + name, "old"));
    ASSERT_TRUE(QFile::copy(path("empty.bm"), path("refused.bm")));
    ReportOptions options;
    options.jobPaths = {
        kSample,       truncated,        path("channel.job.bm"), path("other/bracket.bm"),
        path("...bm"), path("empty.bm"), path("refused.bm"),     path("lost\n\t\x01.bm")};
    options.outFolder = path("pages");
    options.pdfPath = path("pdfs");
    ASSERT_TRUE(QDir().mkpath(options.pdfPath));
    // An earlier PDF is replaced; a file of a PDF's name that is no PDF is refused.
    ASSERT_TRUE(writeBytes(path("pdfs/bracket.pdf"), "%PDF-1.4") &&
                writeBytes(path("pdfs/refused.pdf"), "a job"));
    QStringList rendered;
    const ReportOutcome outcome =
        runReport(options, reportProgramFolder(), [&](const QString &html, const QString &pdf) {
            rendered << html << pdf;
            return writeBytes(pdf, "%PDF-") ? QString() : QStringLiteral("cannot");
        });
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.out, "bracket.bm 1 3 117.74 mm ok\nbracket.bm 2 3 132.5 mm ok\n"
                           "channel.job.bm 1 3 132.74 mm ok\nchannel.job.bm 2 3 132.5 mm ok\n");
    const QStringList errors = outcome.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(errors.size(), 5) << outcome.err.toStdString();
    // A name's control characters are written out, so that the line stays one.
    const std::pair<QString, QString> says[] = {
        {"truncated.bm", ""},
        {"bracket.bm", "named bracket"},
        {"...bm", ""},
        {"refused.bm", "Cannot write " + path("pdfs/refused.pdf") + ": it exists and is not a PDF"},
        {"lost\\n\\t\\x01.bm", path("lost\\n\\t\\x01.bm")}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(errors[i].startsWith(says[i].first + " corvane-report: ") &&
                    errors[i].contains(says[i].second))
            << errors[i].toStdString();
    }
    EXPECT_EQ(rendered,
              (QStringList{path("pages/bracket/wball.htm"), path("pdfs/bracket.pdf"),
                           path("pages/channel.job/wball.htm"), path("pdfs/channel.job.pdf"),
                           path("pages/empty/wball.htm"), path("pdfs/empty.pdf")}));
    EXPECT_EQ(QDir(path("pages")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"bracket", "channel.job", "empty"}));
    EXPECT_EQ(QDir(path("pages/empty")).entryList(QDir::Files),
              (QStringList{"wb1.htm", "wb6.htm", "wball.htm"}));

    // The sample's files are those of a run of it alone, but for the folder they name.
    options.jobPaths = {kSample};
    options.outFolder = path("alone");
    options.pdfPath.clear();
    ASSERT_EQ(runReport(options, reportProgramFolder(), {}).exitStatus, 0);
    const QList<QByteArray> alone = files(path("alone"));
    QList<QByteArray> batch = files(path("pages/bracket"));
    for (QByteArray &file : batch)
        file.replace(path("pages/bracket").toUtf8(), path("alone").toUtf8());
    EXPECT_TRUE(batch == alone);
}

// A section whose status is ok and that has a width gets its flat blank as a DXF file, any other
// a line saying why; the JSON document holds every section in use with the numbers its page
// shows in millimetres, whatever the pages' unit.
TEST_F(ReportProgramTest, DxfOfEverySectionThatIsOkAndJsonOfTheWholeRun)
{
    const QByteArray sample = readBytes(kSample);
    ASSERT_TRUE(
        writeBytes(path("a.bm"), sample + "\"[BLANK WIDTH]\"\r\n\"80\",\"\",\"\",\"\",\"\"\r\n"));
    ASSERT_TRUE(
        writeBytes(path("b.bm"), QByteArray(sample).replace("\"30\",\"90\"", "\"3\",\"90\"")));
    ASSERT_TRUE(writeBytes(path("c.bm"), QByteArray(sample).replace("\"MS\"", "\"XX\"")));
    ASSERT_TRUE(QDir().mkpath(path("dxf")));
    ReportOptions options;
    options.jobPaths = {path("a.bm"), path("b.bm"), path("c.bm")};
    options.outFolder = path("pages");
    options.unit = LengthUnit::FractionalInch;
    options.dxfFolder = path("dxf");
    options.width = 50;
    options.jsonPath = path("run.json");
    const ReportOutcome outcome = runReport(options, reportProgramFolder(), {});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.err, "b.bm section 2: no DXF: vee error\n"
                           "c.bm section 1: no DXF: no material or thickness\n"
                           "c.bm section 2: no DXF: no material or thickness\n");
    EXPECT_EQ(QDir(path("dxf")).entryList(QDir::Files),
              (QStringList{"a-1.dxf", "a-2.dxf", "b-1.dxf"}));

    const QJsonArray jobs = QJsonDocument::fromJson(readBytes(path("run.json")))["jobs"].toArray();
    ASSERT_EQ(jobs.size(), 3);
    const QJsonArray sections = jobs[0]["sections"].toArray();
    EXPECT_EQ(jobs[0]["file"], path("a.bm"));
    EXPECT_EQ(sections[0]["width"], 80);
    EXPECT_EQ(sections[1]["width"], 50);
    EXPECT_EQ(jobs[1]["sections"][1]["status"], "vee error");
    EXPECT_EQ(jobs[2]["sections"][0]["unfolded_length"], QJsonValue());
    EXPECT_EQ(sections[0]["bends"][1]["angle"], -90);
    // Every flat length and the total as the page shows them in millimetres.
    options.jobPaths = {path("a.bm")};
    options.unit = LengthUnit::Millimetre;
    ASSERT_EQ(runReport(options, reportProgramFolder(), {}).exitStatus, 0);
    for (const QJsonValue &section : sections) {
        const QString page =
            QString::fromUtf8(readBytes(path("pages/wb%1.htm").arg(section["section"].toInt())));
        for (const QJsonValue &flange : section["flanges"].toArray())
            EXPECT_TRUE(page.contains(
                QStringLiteral("\r\n<td>%1</td></tr>").arg(flange["flat_length"].toDouble())));
        EXPECT_TRUE(page.contains(
            QStringLiteral("Total : %1</th>").arg(section["unfolded_length"].toDouble())));
    }
}

QProcessEnvironment pdfEnvironment()
{
    QProcessEnvironment environment; // the sandbox is off as for the tests, which may run as root
#ifdef CORVANE_SANITIZE
    // Chromium's own code, linked uninstrumented into the program, frees objects with a size
    // that AddressSanitizer reports as a new/delete type mismatch. Every other check stays on.
    environment.insert("ASAN_OPTIONS", qEnvironmentVariable("ASAN_OPTIONS") +
                                           QStringLiteral(":new_delete_type_mismatch=0"));
#endif
    return environment;
}

TEST_F(ReportProgramTest, PdfHasAPagePerSectionThatKeepsItsLayoutAndAFullDiskIsOneLineWithTheReason)
{
    // A row of 80 "=" and a long line in the notes, a path in the description: without wrapping
    // they push the section diagram, the last column and the Total off the sheet.
    JobFileContent job = readJobFile(kSample).content;
    job[JobField::common(3)] =
        QStringLiteral("/srv/shop/jobs/") + QString(140, u'd') + QStringLiteral(".dxf");
    for (int n = 1; n <= kSectionCount; ++n)
        job[JobField::notes(n)] = QString(80, u'=') + QStringLiteral("\r\n") + QString(150, u'X');
    const QString jobPath = path("long.bm");
    ASSERT_TRUE(writeJobFile(job, jobPath).ok());
    // The PDF goes into the output folder, which the run makes.
    const QString pdf = path("pages/long.pdf");
    const ProgramRun run = runProgram(kReportProgram, {"--out", "pages", "--pdf", pdf, jobPath},
                                      root, pdfEnvironment());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Nothing but the program's own lines: none of the engine's notices.
    EXPECT_EQ(run.err, "");
    // A page for each section in use, each keeping its layout.
    const QList<test::PdfPage> pages = test::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 2);
    for (const test::PdfPage &page : pages) {
        EXPECT_TRUE(page.words.contains("Total")) << page.words.join(' ').toStdString();
        EXPECT_TRUE(page.words.contains("Diagram"));
        EXPECT_LE(page.rightmost, page.width);
    }

    // A PDF whose folder is a disk too small for it: the engine renders, and the write fails.
    const QString pdfFolder = path("small");
    ASSERT_TRUE(QDir().mkpath(pdfFolder));
    const QString cramped = pdfFolder + QStringLiteral("/report.pdf");
    const QString errors = path("errors.txt");
    const int status = test::runOnOwnFileSystem(pdfFolder, "size=8k", [&] {
        // Only the one thread of the child is left: the program is started by hand.
        const int fd = ::open(QFile::encodeName(errors).constData(), O_WRONLY | O_CREAT, 0644);
        if (fd < 0 || ::dup2(fd, 2) < 0 || ::dup2(::open("/dev/null", O_WRONLY), 1) < 0)
            return 90;
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            ::unsetenv(name);
        const QByteArray out = QFile::encodeName(path("pages"));
        const QByteArray target = QFile::encodeName(cramped);
        const QByteArray job = QFile::encodeName(kSample);
        ::execl(CORVANE_REPORT_PROGRAM, CORVANE_REPORT_PROGRAM, "--out", out.constData(), "--pdf",
                target.constData(), job.constData(), static_cast<char *>(nullptr));
        return 91;
    });
    if (status == test::kCannotMount)
        GTEST_SKIP() << "a small file system needs root";
    EXPECT_EQ(status, 1);
    EXPECT_EQ(
        QString::fromLocal8Bit(readBytes(errors)),
        QStringLiteral("corvane-report: Cannot write %1: No space left on device\n").arg(cramped));
}

} // namespace
} // namespace corvane
