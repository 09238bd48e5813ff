#pragma once

// Helpers shared by the tests.

#include "bendtable/bendtable.h"
#include "ground/job.h"

#include <QByteArray>
#include <QList>
#include <QProcessEnvironment>
#include <QStringList>

#include <functional>
#include <vector>

namespace corvane {
class JobEditor;
}

namespace corvane::test {

QByteArray readBytes(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);

// Runs fn in a child process and returns its exit status (-1 when it did not exit normally). When
// the tests run as root, the child first drops to the unprivileged user "nobody", so that file
// permissions apply to it as they do to an operator.
int runInChild(const std::function<int()> &fn, bool unprivileged);

// Runs fn in a child process whose files may not grow beyond limit bytes, as on a full disk. The
// limit is a soft one: fn may lift it again with liftFileSizeLimit().
int runWithFileSizeLimit(const std::function<int()> &fn, long limit);
bool liftFileSizeLimit();

// Runs fn in a child process that sees folder as an empty file system of its own, mounted with
// the given options ("size=64k" for a small disk, "ro" for a read-only one), and returns its exit
// status; kCannotMount when no such file system can be made here (it needs root).
inline constexpr int kCannotMount = 98;
int runOnOwnFileSystem(const QString &folder, const char *options, const std::function<int()> &fn);

// The words on each page of a PDF as pdftotext (poppler-utils) finds them, the page's width in
// points and the right edge of its rightmost word.
struct PdfPage
{
    double width = 0;
    QStringList words;
    double rightmost = 0;
};
QList<PdfPage> pdfPages(const QString &pdf);

// A run of one of the programs, as an operator starts it on a machine without a display: nothing
// names a display or a Qt platform unless extra does. status is -1 when it did not end normally.
struct ProgramRun
{
    int status = -1;
    QString out;
    QString err;
};
ProgramRun runProgram(const QString &program, const QStringList &arguments,
                      const QString &folder = {}, const QProcessEnvironment &extra = {});

// A workbook of one sheet whose cells hold the given texts.
QByteArray textWorkbook(const std::vector<QStringList> &rows, const QString &sheet = "BendTbl");

// A bend table record of numbers.
BendRecord bendRecord(const QString &material, double thickness, double vee, double kFactor,
                      double internalRadius, const QString &standard = {});

// Material "MS", thickness 2, K factor 0.33 and IR 2 for the vees 10, 16, 20, 20.5, 92 and 93,
// and two records for vee 25: the worked examples of the calculation.
const BendTable &workedExampleTable();

// A section of the given flanges and bends (angle, vee), each vee the only item of its list.
Section makeSection(std::initializer_list<const char *> flanges,
                    std::initializer_list<std::pair<const char *, const char *>> bends);

// The worked example: material MS, thickness 2, flanges 50, 100, 50 and two bends of 90 degrees
// on vee 16, in section 1.
Job workedExampleJob();
// The same typed into an editor whose table has MS 2 with vee 16 the standard, in section n.
void fillWorkedExample(JobEditor &editor, int n = 1);

} // namespace corvane::test
