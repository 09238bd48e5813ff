#pragma once

// corvane-report: the report of a job file without the desktop.
//
// The command opens a job file as Open does, against a bend table workbook, computes every
// section in use as showing it would, and leaves the section pages, their pictures and the joined
// print document in an output folder (report/reportassembly.h); optionally it renders the
// joined document to PDF, one section per page, as Export PDF does. It prints one line per section
// in use: the section's number, its flange count, its unfolded length in the chosen unit and
// whether its vees fit.
//
// Given several job files, it reports each as it would alone, in one run that reads the bend
// table once: each job's files go into a folder of its own under the output folder, named after
// the job file without its extension, and every line it prints begins with the job file's name.
// A job that fails is reported and the others still run; the exit status is the worst job's.
//
// Everything here returns values: runReportCommand() gives the exit status and the texts for
// standard output and standard error, which only main() prints. The PDF rendering needs a browser
// engine and so comes in as a function from main(); the rest runs on QtCore and QtGui alone.

#include "calculation/bendcalculation.h"
#include "ground/units.h"

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace corvane {

struct ReportOptions
{
    QStringList jobPaths;
    QString tablePath; // the bend table workbook; empty for the program folder's
    QString outFolder; // where the pages go; empty for the program folder's temp folder
    LengthUnit unit = LengthUnit::Millimetre;
    bool detailed = false;
    QString pdfPath;   // empty when no PDF is wanted; a folder for the PDFs of several jobs
    QString dxfFolder; // where each section's flat blank goes as NAME-N.dxf; empty for none
    std::optional<float> width; // the blank's width of a section that has none of its own
    QString jsonPath;           // the run as one JSON document; "-" for standard output
    // A test bend's values as given: --material, --thickness, --vee, --angle, --blank, --flanges
    // (two lengths and a comma between them) and --radius.
    QMap<QString, QString> testBend;
};

struct ReportArguments
{
    enum class Action
    {
        Run,
        CheckTable, // --check-table
        TestBend,   // --test-bend
        Help,
        Usage // the command line is wrong; error says how
    };
    Action action = Action::Usage;
    ReportOptions options;
    QString error;
};

// Reads the command line; arguments start with the program's name.
ReportArguments parseReportArguments(const QStringList &arguments);

// The one-line synopsis and the full help text; the help names the defaults of programFolder.
QString reportUsage();
QString reportHelp(const QString &programFolder);

// A section's line of the output: "1 3 192.36 mm ok". The unfolded length is rounded to two
// decimals in millimetres first, as the page's Total is.
QString sectionLine(int number, const BendCalculation &calculation, LengthUnit unit);

// Whether the process must draw offscreen: nothing says which display to use.
bool needsOffscreenPlatform(const QProcessEnvironment &environment);

struct ReportOutcome
{
    int exitStatus = 0; // 0 done, 1 a file could not be read or written, 2 a bad command line
    QString out;        // for standard output
    QString err;        // for standard error, one line
};

// Renders the HTML document at htmlPath into a PDF at pdfPath; returns why it could not, or the
// empty text. It must leave no file at pdfPath when it fails.
using PdfRenderer = std::function<QString(const QString &htmlPath, const QString &pdfPath)>;

ReportOutcome runReport(const ReportOptions &options, const QString &programFolder,
                        const PdfRenderer &renderPdf);

// The name that a job's folder and PDF take in a run of several jobs: the job file's name
// without its extension.
QString reportJobName(const QString &jobPath);

// The bend table's findings, a line each and then "N findings"; status 0 when there are none, 1
// when there are or the workbook cannot be read.
ReportOutcome runTableCheck(const QString &tablePath);
// A test bend worked out: "bend deduction X mm", "bend allowance X mm", "K factor X"; status 1
// with why when it cannot be. A table that cannot be read fails the test bend when it was named
// (tableNamed); the program folder's is needed only when no inside radius is given.
ReportOutcome runTestBend(const QMap<QString, QString> &values, const QString &tablePath,
                          bool tableNamed);

// Reads the command line and runs the report, or gives the help or the usage line.
ReportOutcome runReportCommand(const QStringList &arguments, const QString &programFolder,
                               const PdfRenderer &renderPdf);

} // namespace corvane
