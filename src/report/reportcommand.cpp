#include "report/reportcommand.h"

#include "bendtable/bendtablecheck.h"
#include "bendtable/bendtablesource.h"
#include "calculation/sectionpage.h"
#include "calculation/testbend.h"
#include "ground/commandline.h"
#include "editing/jobeditor.h"
#include "ground/units.h"
#include "ground/designfont.h"
#include "ground/filewrite.h"
#include "ground/jobfile.h"
#include "ground/numbers.h"
#include "ground/programfolder.h"
#include "report/flatblanks.h"
#include "report/jsonreport.h"
#include "report/reportassembly.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QThread>

#include <atomic>
#include <cmath>
#include <future>
#include <memory>
#include <thread>

namespace corvane {

namespace {

const QString kProgram = QStringLiteral("corvane-report");

// The values of a test bend, in the order the help gives them.
const QStringList kTestBendOptions = {QStringLiteral("--material"), QStringLiteral("--thickness"),
                                      QStringLiteral("--vee"),      QStringLiteral("--angle"),
                                      QStringLiteral("--blank"),    QStringLiteral("--flanges"),
                                      QStringLiteral("--radius")};

ReportArguments usageError(const QString &message)
{
    ReportArguments result;
    result.action = ReportArguments::Action::Usage;
    result.error = message;
    return result;
}

ReportOutcome failure(const QString &message)
{
    return {1, {}, kProgram + QStringLiteral(": ") + oneLine(message) + QLatin1Char('\n')};
}

// Pages name their pictures by absolute path, so every folder handed on must be absolute.
QString absolutePath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

ReportArguments parseReportArguments(const QStringList &arguments)
{
    ReportArguments result;
    result.action = ReportArguments::Action::Run;
    QStringList jobs;
    CommandLineReader line(
        arguments.mid(1),
        {QStringLiteral("--help"), QStringLiteral("-h"), QStringLiteral("--detailed"),
         QStringLiteral("--check-table"), QStringLiteral("--test-bend")},
        QStringList{QStringLiteral("--table"), QStringLiteral("--out"), QStringLiteral("--unit"),
                    QStringLiteral("--pdf"), QStringLiteral("--dxf"), QStringLiteral("--width"),
                    QStringLiteral("--json")} +
            kTestBendOptions);
    while (const std::optional<CommandLineItem> item = line.next()) {
        if (!item->error.isEmpty())
            return usageError(item->error);
        const QString &name = item->option;
        const QString &value = item->value;
        if (name.isEmpty()) {
            jobs.append(value);
        } else if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            result.action = ReportArguments::Action::Help;
            return result;
        } else if (name == QLatin1String("--detailed")) {
            result.options.detailed = true;
        } else if (name == QLatin1String("--check-table") || name == QLatin1String("--test-bend")) {
            const auto action = name == QLatin1String("--check-table")
                                    ? ReportArguments::Action::CheckTable
                                    : ReportArguments::Action::TestBend;
            if (result.action != ReportArguments::Action::Run && result.action != action)
                return usageError(QStringLiteral("--check-table and --test-bend go apart"));
            result.action = action;
        } else if (kTestBendOptions.contains(name)) {
            result.options.testBend.insert(name.mid(2), value);
        } else if (name == QLatin1String("--table")) {
            result.options.tablePath = value;
        } else if (name == QLatin1String("--out")) {
            result.options.outFolder = value;
        } else if (name == QLatin1String("--pdf")) {
            result.options.pdfPath = value;
        } else if (name == QLatin1String("--dxf")) {
            result.options.dxfFolder = value;
        } else if (name == QLatin1String("--json")) {
            result.options.jsonPath = value;
        } else if (name == QLatin1String("--width")) {
            result.options.width = wholeSingle(value);
            if (!result.options.width || *result.options.width <= 0)
                return usageError(QStringLiteral("--width: %1 is no width in mm").arg(value));
        } else {
            result.options.unit = unitOfWord(value);
            if (result.options.unit == LengthUnit::None)
                return usageError(
                    QStringLiteral("unknown unit %1 (mm, in or fraction)").arg(value));
        }
    }
    if (result.action == ReportArguments::Action::Run) {
        if (!result.options.testBend.isEmpty())
            return usageError(QStringLiteral("--%1 belongs to --test-bend")
                                  .arg(result.options.testBend.firstKey()));
        if (jobs.isEmpty())
            return usageError(QStringLiteral("no job file given"));
    } else if (!jobs.isEmpty()) {
        return usageError(QStringLiteral("%1 takes no job file")
                              .arg(result.action == ReportArguments::Action::CheckTable
                                       ? QStringLiteral("--check-table")
                                       : QStringLiteral("--test-bend")));
    }
    if (result.action == ReportArguments::Action::CheckTable && !result.options.testBend.isEmpty())
        return usageError(
            QStringLiteral("--%1 belongs to --test-bend").arg(result.options.testBend.firstKey()));
    if (result.action == ReportArguments::Action::TestBend) {
        for (const QString &needed : kTestBendOptions) {
            if (needed != QLatin1String("--radius") &&
                !result.options.testBend.contains(needed.mid(2)))
                return usageError(QStringLiteral("--test-bend needs %1").arg(needed));
        }
    }
    result.options.jobPaths = jobs;
    return result;
}

QString reportUsage()
{
    return QStringLiteral(
        "usage: corvane-report [--table FILE] [--out DIR] [--unit mm|in|fraction] [--detailed]\n"
        "                      [--pdf FILE] [--dxf DIR [--width MM]] [--json FILE]\n"
        "                      JOB.bm...\n"
        "       corvane-report --check-table [--table FILE]\n"
        "       corvane-report --test-bend --material M --thickness T --vee V --angle A\n"
        "                      --blank L --flanges A1,A2 [--radius R] [--table FILE]");
}

QString reportHelp(const QString &programFolder)
{
    return reportUsage() + QStringLiteral(R"(

Computes every section in use of a Corvane job file as the desktop program does
when it shows and prints the job, and writes the section report pages and the
joined print document.

  JOB.bm...       the job files, as the desktop program saves them
  --table FILE    the bend table workbook
                  (default: %1)
  --out DIR       the folder for the pages and pictures, made when missing
                  (default: %2)
  --unit UNIT     lengths in mm (the default), in (decimal inches) or
                  fraction (inches and sixteenths)
  --detailed      show the K factor, OSSB, BA and BD columns
  --pdf FILE      also write the joined document as a PDF, A4 portrait,
                  each section on a page of its own; with several jobs, FILE
                  is a folder and each job's PDF is FILE/NAME.pdf. A file
                  of the PDF's name that is not a PDF is refused, never
                  replaced
  --dxf DIR       also write the flat blank of every section whose status is
                  ok as DIR/NAME-N.dxf (AutoCAD R12, millimetres), NAME the
                  job file's name without its extension; DIR must exist
  --width MM      the blank's width of a section that has none of its own
  --json FILE     also write the whole run as one JSON document; - for
                  standard output, which then carries the document alone
  -h, --help      show this text

A section is in use when its first flange is longer than 0. For each section N
in use, DIR receives wbN.htm (its report page), sdN.bmp (the section diagram)
and mdN.bmp (the marking diagram; not written when a vee is too wide), and then
wball.htm: every page in section order with a page break between two of them,
empty when no section is in use. Pages and pictures of an earlier run that this
run did not write (wbN.htm, sdN.bmp and mdN.bmp, N from 1 to 5) are removed:
DIR holds this run's report, and its other files stay. The pages show the logo
of the program folder %3.

With several job files, each job is reported as it would be alone, in one run:
its files go into DIR/NAME/, NAME being the job file's name without its
extension (DIR/bracket/ for bracket.bm), and every line printed for it begins
with the job file's name and a blank. A job that cannot be read or written is
reported and the others still run. Two jobs of one name are refused.

One line per section in use goes to standard output: the section number, its
flange count, its unfolded length with its unit, and one of
  ok                        the section is complete
  vee error                 a vee is too wide for a flange next to its bend
  bend not in table         the bend table has no single record for a bend's
                            material, thickness and vee
  no material or thickness  the job names none, or none the table knows
  length out of range       a flange length is too large or too small to
                            compute with: it reads as 0, which ends the profile
For example:
  1 3 192.36 mm ok

The DXF drawing of a section's flat blank lies from (0, 0) to (U, W), U the
unfolded length and W the width, on the layers OUTLINE (the blank), BEND_UP and
BEND_DOWN (dashed; a line across the blank at each bend, at its distance from
the left end), BEND_TEXT (the bend's label, Up 90 or Dn 45, and its vee) and
BEND_MARKS (short marks at both edges of each bend line). A section in use that
gets no DXF (its status is not ok, or it has no width) is named on standard
error with the reason.

The JSON document is {"jobs": [...]}, an object for each job with "file",
"customer", "part", "revision", "description", "material", "thickness", "error"
(when the job could not be read or written) and "sections": for each section in
use "section", "status", "view", "width", "unfolded_length", "flanges" (each
"outside" and "flat_length") and "bends" (each "angle", "vee", "k_factor",
"inside_radius", "bend_allowance", "outside_setback", "bend_deduction" and
"bend_line", its distance from the left end). Lengths are millimetres as the
page shows them in mm, whatever --unit says; null where the page shows nothing
or n/a.

A flange length or bend angle whose text does not read as it shows is noted on
standard error, one line each, for every section, the status unchanged:
  section 1, flange 2: "1,5" is read as 1

--check-table checks the bend table workbook instead: it prints one line per
finding, each beginning with "row N:" (N the row as a spreadsheet program
numbers it) and naming the columns concerned, then a last line "N findings".
It finds rows of the same material, thickness and vee (their lookups fail), a
material and thickness with no vee or more than one vee marked YES, empty or
non-numeric thickness, vee, k_factor or internal_radius, a thickness or vee of
0 or less, a K factor outside 0 to 1, a negative internal radius, material
names that differ only in letter case or blanks, no version in the first row,
and rows without a material that hold other values. Exit status 0 when there
is none, 1 when there are findings or the workbook cannot be read.

--test-bend works out the K factor of a test bend: a strip of flat length L
(--blank) of material M and thickness T, bent A degrees on vee V, whose two
flanges measure A1 and A2 on the outside (--flanges A1,A2). The inside radius
is the one measured (--radius) or else the bend table row's. It prints
  bend deduction X mm
  bend allowance X mm
  K factor X
and notes on standard error a K factor outside 0 to 1, which cannot be right.
Exit status 1, with one line saying why, when it cannot be worked out.

Exit status: 0 when the report was written; 1 when the job file, the bend
table, the output folder or the PDF could not be read or written (one line on
standard error says why); 2 when the command line is wrong. With several jobs,
the status of the worst.

No display is needed: when none of DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM
is set, the pages are drawn offscreen. The PDF is rendered by QtWebEngine,
whose sandbox does not start for the root user: run corvane-report as an
ordinary user to write PDFs.
)")
                               .arg(QDir::toNativeSeparators(bendTablePath(programFolder)),
                                    QDir::toNativeSeparators(tempFolder(programFolder)),
                                    QDir::toNativeSeparators(programFolder));
}

QString sectionLine(int number, const BendCalculation &calculation, LengthUnit unit)
{
    const int flanges = calculation.gatePassed ? calculation.lastFlange + 1 : 0;
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(number)
        .arg(flanges)
        .arg(formatLength(roundHalfEven2(calculation.unfoldedTotal), unit), unitLabel(unit),
             calculation.status());
}

bool needsOffscreenPlatform(const QProcessEnvironment &environment)
{
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!environment.value(QString::fromLatin1(name)).isEmpty())
            return false;
    }
    return true;
}

QString reportJobName(const QString &jobPath)
{
    const QString name = QFileInfo(jobPath).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

namespace {

// What a run shares between its jobs: the bend table, read once.
struct ReportRun
{
    const ReportOptions &options;
    QString programFolder;
    const PdfRenderer &renderPdf;
    std::unique_ptr<BendTableSource> source;
    std::shared_ptr<const BendTable> table;

    const BendTableSource &tableSource()
    {
        if (!source) {
            source = std::make_unique<BendTableSource>(
                options.tablePath.isEmpty() ? bendTablePath(programFolder) : options.tablePath);
            table = source->table();
        }
        return *source;
    }
};

// Draws a letter in the diagrams' font, which loads the font configuration and the font.
void readyDiagramFonts()
{
    QImage image(8, 8, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(designFont(8.25, false));
    painter.drawText(0, 8, QStringLiteral("0"));
}

// A job's report computed and written, its PDF still to render.
struct JobResult
{
    ReportOutcome outcome;
    QString documentPath; // the joined document; empty when the job failed
    QJsonObject json;     // the job in the run's JSON document
};

JobResult failedJob(const QString &message)
{
    return {failure(message), {}, {}};
}

// The job's sections in use for the JSON document, and their flat blanks written into the DXF
// folder when one is given, with a line for each section that gets none. The error, or the empty
// text.
QString reportBlanks(const ReportOptions &options, const QString &jobPath, const Job &job,
                     const ReportAssembly &assembly, QList<JsonSection> *sections, QString *lines)
{
    for (qsizetype i = 0; i < assembly.sections.size(); ++i) {
        const int n = assembly.sections[i];
        sections->append({n, assembly.calculations[i], blankWidth(job.section(n), options.width)});
    }
    if (options.dxfFolder.isEmpty())
        return {};
    const FlatBlanks blanks =
        writeFlatBlanks(options.dxfFolder, reportJobName(jobPath), job, assembly.sections,
                        assembly.calculations, options.width);
    for (const SkippedBlank &skipped : blanks.skipped) {
        *lines +=
            QStringLiteral("section %1: no DXF: %2%3\n")
                .arg(skipped.section)
                .arg(skipped.why, skipped.noWidth && !options.width
                                      ? QStringLiteral("; enter it in the job or give --width")
                                      : QString());
    }
    return blanks.error;
}

// Why a PDF may not be written at path: a file there that is no PDF, most likely a job file taken
// for the PDF's name. The empty text when there is no file or a PDF, which a new one replaces.
QString notAPdf(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot write %1: it cannot be read to make sure it is a PDF: %2")
            .arg(path, file.errorString());
    if (file.read(5) == "%PDF-")
        return {};
    return QStringLiteral("Cannot write %1: it exists and is not a PDF; give the PDF's own name")
        .arg(path);
}

// The pages and pictures in folder that the run did not write, removed: left by an earlier run,
// of a section no longer in use or a diagram no longer drawn, they would read as this run's.
// Other files stay, the job file among them whatever its name.
QString removeOlderFiles(const QString &folder, const QStringList &written, const QString &jobPath)
{
    for (int n = 1; n <= kSectionCount; ++n) {
        for (const QString &path : {sectionPagePath(folder, n), sectionDiagramPath(folder, n),
                                    markingDiagramPath(folder, n)}) {
            const QFileInfo info(path);
            if (written.contains(path) || (!info.isFile() && !info.isSymLink()) ||
                info == QFileInfo(jobPath))
                continue;
            if (QFile file(path); !file.remove())
                return QStringLiteral("Cannot remove %1, left by an earlier run: %2")
                    .arg(path, file.errorString());
        }
    }
    return {};
}

// One job's pages into outFolder, pdfPath checked but not yet rendered. Runs on any thread: the
// bend table is read before.
JobResult computeJob(ReportRun &run, const QString &jobPath, const QString &outFolder,
                     const QString &pdfPath)
{
    const ReportOptions &options = run.options;
    const JobFileReadResult job = readJobFile(jobPath);
    if (!job.ok())
        return failedJob(job.error);

    if (const QString error = run.tableSource().error(); !error.isEmpty())
        return failedJob(error);
    const std::shared_ptr<const BendTable> table = run.table;

    // The PDF is found out now rather than after every page has been computed.
    if (const QString problem = notAPdf(pdfPath); !problem.isEmpty())
        return failedJob(problem);

    if (const QString error = makeFolder(outFolder); !error.isEmpty())
        return failedJob(error);

    if (!pdfPath.isEmpty()) {
        // The PDF may go into the output folder just made.
        if (const QFileInfo folder(QFileInfo(pdfPath).path()); !folder.isDir())
            return failedJob((folder.exists()
                                  ? QStringLiteral("Cannot write %1: %2 is a file, not a folder")
                                  : QStringLiteral("Cannot write %1: the folder %2 does not exist"))
                                 .arg(pdfPath, folder.filePath()));
        if (const QString problem = writeProblem(pdfPath); !problem.isEmpty())
            return failedJob(problem);
    }

    // The job as Open fills the windows, section 1 shown and computed; then every section in
    // use is run, each on its own canvas as the desktop program's print would run it.
    const PageOptions pageOptions{options.unit, options.detailed, run.programFolder, outFolder};
    JobEditor editor([table] { return table; }, pageOptions);
    // Opening computes the shown section; when it is in use, the report writes its files again
    // right after, so they are written once, then.
    editor.setWritesPages(false);
    editor.openContent(job.content);
    // Every field whose text is not read as it shows, in every section, in use or not.
    QString notes = job.widthsProblem.isEmpty() ? QString() : job.widthsProblem + u'\n';
    for (int n = 1; n <= kSectionCount; ++n) {
        for (const QString &note : editor.job().section(n).readingNotes())
            notes += QStringLiteral("section %1, %2\n").arg(n).arg(note);
    }
    QStringList written;
    const auto noteWritten = [&written](const SectionRun &run) {
        written.append(run.pagePath);
        for (const FileContent &picture : run.pictures)
            written.append(picture.path);
    };
    if (const int shown = editor.activeSectionIndex();
        shown != 0 && !editor.job().section(shown).inUse()) {
        const SectionRun run = editor.runner().write(
            editor.job(), shown, editor.lastRun(shown).calculation, pageOptions);
        if (!run.ok())
            return failedJob(run.error);
        noteWritten(run);
    }
    const ReportAssembly assembly = assembleReport(editor.job(), outFolder, [&](int n) {
        SectionRun run = editor.runner().run(editor.job(), n, *table, pageOptions);
        noteWritten(run);
        return run;
    });
    if (!assembly.ok())
        return failedJob(assembly.error);
    if (const QString error = removeOlderFiles(outFolder, written, jobPath); !error.isEmpty())
        return failedJob(error);

    QList<JsonSection> sections;
    QString blankLines;
    if (const QString error =
            reportBlanks(options, jobPath, editor.job(), assembly, &sections, &blankLines);
        !error.isEmpty())
        return failedJob(error);

    JobResult result;
    result.documentPath = assembly.path;
    result.json = jobJson(jobPath, editor.job(), sections);
    result.outcome.err = notes + blankLines;
    for (qsizetype i = 0; i < assembly.sections.size(); ++i)
        result.outcome.out +=
            sectionLine(assembly.sections[i], assembly.calculations[i], options.unit) +
            QLatin1Char('\n');
    return result;
}

// The job's PDF rendered, on the thread of the web engine, when one is wanted and the pages were
// written; the job's outcome.
ReportOutcome finishJob(ReportRun &run, const JobResult &job, const QString &pdfPath)
{
    if (pdfPath.isEmpty() || job.documentPath.isEmpty())
        return job.outcome;
    const QString error = run.renderPdf
                              ? run.renderPdf(job.documentPath, pdfPath)
                              : QStringLiteral("Cannot write %1: no PDF renderer").arg(pdfPath);
    if (error.isEmpty())
        return job.outcome;
    ReportOutcome failed = failure(error);
    failed.err.prepend(job.outcome.err); // the notes on the job's texts stand
    return failed;
}

// Why a job failed: its outcome's last line, without the program's name.
QString failureMessage(const ReportOutcome &outcome)
{
    const QString line = outcome.err.section(QLatin1Char('\n'), -2, -2);
    return line.mid(line.indexOf(QStringLiteral(": ")) + 2);
}

// Every line of text begun with prefix.
QString prefixed(const QString &prefix, const QString &text)
{
    QString out;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        out += prefix + line + QLatin1Char('\n');
    return out;
}

} // namespace

ReportOutcome runReport(const ReportOptions &options, const QString &programFolder,
                        const PdfRenderer &renderPdf)
{
    ReportRun run{options, programFolder, renderPdf, nullptr, nullptr};
    // The workbook is read on a thread of its own while this one readies the fonts that the
    // diagrams are drawn in, which the first drawing would wait for otherwise: a large bend table
    // costs the run little more than a small one.
    std::future<void> tableRead = std::async(std::launch::async, [&run] { run.tableSource(); });
    readyDiagramFonts();
    tableRead.wait();
    const QString outFolder =
        absolutePath(options.outFolder.isEmpty() ? tempFolder(programFolder) : options.outFolder);
    const QString pdfPath = options.pdfPath.isEmpty() ? QString() : absolutePath(options.pdfPath);
    if (!options.dxfFolder.isEmpty() && !QFileInfo(options.dxfFolder).isDir())
        return failure(
            QStringLiteral("Cannot write the DXF files into %1: %2")
                .arg(options.dxfFolder, QFileInfo::exists(options.dxfFolder)
                                            ? QStringLiteral("it is a file, not a folder")
                                            : QStringLiteral("the folder does not exist")));

    // One job goes into the output folder itself; several each into a folder of their own, and
    // names that cannot have one are refused.
    struct Task
    {
        QString jobPath;
        QString outFolder;
        QString pdfPath;
        JobResult result;
    };
    std::vector<Task> tasks;
    QStringList names;
    const bool several = options.jobPaths.size() > 1;
    for (const QString &jobPath : options.jobPaths) {
        const QString name = reportJobName(jobPath);
        Task task{jobPath, outFolder, pdfPath, {}};
        const QString refused =
            !several ? QString()
            : name == QLatin1String(".") || name == QLatin1String("..")
                ? QStringLiteral("Cannot report %1: its name cannot name a folder of its own")
                      .arg(jobPath)
            : names.contains(name, Qt::CaseSensitive)
                ? QStringLiteral("Cannot report %1: another job of this run is named %2")
                      .arg(jobPath, name)
                : QString();
        if (!refused.isEmpty()) {
            task.outFolder.clear();
            task.result = failedJob(refused);
        } else if (several) {
            names.append(name);
            task.outFolder = QDir(outFolder).filePath(name);
            if (!pdfPath.isEmpty())
                task.pdfPath = QDir(pdfPath).filePath(name + QStringLiteral(".pdf"));
        }
        tasks.push_back(std::move(task));
    }

    // The jobs are computed on as many threads as the machine has cores: each job has an editor
    // and canvases of its own, and the table is shared read-only. PDFs are rendered afterwards,
    // on this thread, where the web engine lives.
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < tasks.size(); i = next++) {
            Task &task = tasks[i];
            if (!task.outFolder.isEmpty())
                task.result = computeJob(run, task.jobPath, task.outFolder, task.pdfPath);
        }
    };
    const int threads = int(qBound(size_t(1), size_t(QThread::idealThreadCount()), tasks.size()));
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread &worker : workers)
        worker.join();

    ReportOutcome outcome;
    QList<QJsonObject> jobs;
    for (const Task &task : tasks) {
        const ReportOutcome job = finishJob(run, task.result, task.pdfPath);
        const QString prefix =
            several ? oneLine(QFileInfo(task.jobPath).fileName()) + QLatin1Char(' ') : QString();
        outcome.out += prefixed(prefix, job.out);
        outcome.err += prefixed(prefix, job.err);
        outcome.exitStatus = qMax(outcome.exitStatus, job.exitStatus);
        jobs.append(job.exitStatus == 0 ? task.result.json
                                        : failedJobJson(task.jobPath, failureMessage(job)));
    }
    if (options.jsonPath.isEmpty())
        return outcome;
    const QByteArray json = reportJson(jobs);
    if (options.jsonPath == QLatin1String("-")) {
        // Standard output carries the document alone; the section lines are in it.
        outcome.out = QString::fromUtf8(json);
    } else if (const QString error = replaceFile(absolutePath(options.jsonPath), json);
               !error.isEmpty()) {
        outcome.err += failure(error).err;
        outcome.exitStatus = 1;
    }
    return outcome;
}

ReportOutcome runTableCheck(const QString &tablePath)
{
    BendTableSource source(tablePath);
    const std::shared_ptr<const BendTable> table = source.table();
    if (!source.error().isEmpty())
        return failure(source.error());
    const std::vector<TableFinding> findings = checkBendTable(*table);
    ReportOutcome outcome;
    for (const TableFinding &finding : findings)
        outcome.out += finding.text + QLatin1Char('\n');
    outcome.out += findings.size() == 1 ? QStringLiteral("1 finding\n")
                                        : QStringLiteral("%1 findings\n").arg(findings.size());
    outcome.exitStatus = findings.empty() ? 0 : 1;
    return outcome;
}

ReportOutcome runTestBend(const QMap<QString, QString> &values, const QString &tablePath,
                          bool tableNamed)
{
    const auto number = [&](const QString &name, const QString &text, float *out) {
        QString problem;
        const std::optional<float> value = wholeSingle(text, &problem);
        if (!value)
            return QStringLiteral("--%1: %2 %3").arg(name, text, problem);
        *out = *value;
        return QString();
    };
    TestBend bend;
    float vee = 0.0f;
    const QStringList flanges = values.value(QStringLiteral("flanges")).split(QLatin1Char(','));
    if (flanges.size() != 2)
        return failure(QStringLiteral("--flanges: give the two flanges with a comma between them"));
    for (int k = 0; k < 2; ++k) {
        if (flanges[k].trimmed().isEmpty())
            return failure(QStringLiteral("--flanges: the %1 flange is missing; give the two "
                                          "flanges with a comma between them")
                               .arg(k == 0 ? QStringLiteral("first") : QStringLiteral("second")));
    }
    for (const QString &error :
         {number(QStringLiteral("thickness"), values.value(QStringLiteral("thickness")),
                 &bend.thickness),
          number(QStringLiteral("vee"), values.value(QStringLiteral("vee")), &vee),
          number(QStringLiteral("angle"), values.value(QStringLiteral("angle")), &bend.angle),
          number(QStringLiteral("blank"), values.value(QStringLiteral("blank")), &bend.blank),
          number(QStringLiteral("flanges"), flanges[0], &bend.flange1),
          number(QStringLiteral("flanges"), flanges[1], &bend.flange2)}) {
        if (!error.isEmpty())
            return failure(error);
    }
    if (values.contains(QStringLiteral("radius"))) {
        float radius = 0.0f;
        if (const QString error =
                number(QStringLiteral("radius"), values.value(QStringLiteral("radius")), &radius);
            !error.isEmpty())
            return failure(error);
        bend.radius = radius;
    }
    BendTableSource source(tablePath);
    const std::shared_ptr<const BendTable> table = source.table();
    // A table named on the command line is one the operator meant to use.
    if (tableNamed && !source.error().isEmpty())
        return failure(source.error());
    const BendLookup row =
        table->lookup(values.value(QStringLiteral("material")), bend.thickness, vee);
    const TestBendResult result = workOutTestBend(bend, row);
    if (!result.ok())
        return failure(source.error().isEmpty() || bend.radius ? result.error : source.error());
    ReportOutcome outcome;
    outcome.out = QStringLiteral("bend deduction %1 mm\nbend allowance %2 mm\nK factor %3\n")
                      .arg(QString::number(result.bd, 'f', 2), QString::number(result.ba, 'f', 2),
                           QString::number(result.kFactor, 'f', 4));
    if (!result.implausible.isEmpty())
        outcome.err = kProgram + QStringLiteral(": ") + result.implausible + QLatin1Char('\n');
    return outcome;
}

ReportOutcome runReportCommand(const QStringList &arguments, const QString &programFolder,
                               const PdfRenderer &renderPdf)
{
    const ReportArguments parsed = parseReportArguments(arguments);
    switch (parsed.action) {
    case ReportArguments::Action::Help:
        return {0, reportHelp(programFolder), {}};
    case ReportArguments::Action::Usage:
        return {2,
                {},
                kProgram + QStringLiteral(": ") + oneLine(parsed.error) + QLatin1Char('\n') +
                    reportUsage() + QLatin1Char('\n')};
    case ReportArguments::Action::CheckTable:
        return runTableCheck(parsed.options.tablePath.isEmpty() ? bendTablePath(programFolder)
                                                                : parsed.options.tablePath);
    case ReportArguments::Action::TestBend:
        return runTestBend(parsed.options.testBend,
                           parsed.options.tablePath.isEmpty() ? bendTablePath(programFolder)
                                                              : parsed.options.tablePath,
                           !parsed.options.tablePath.isEmpty());
    case ReportArguments::Action::Run:
        break;
    }
    return runReport(parsed.options, programFolder, renderPdf);
}

} // namespace corvane
