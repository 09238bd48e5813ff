// corvane-timing: how soon the desktop program answers the operator.
//
// It drives the real main window (in this process, on the offscreen platform) and starts the real
// programs (corvane, corvane-report) as processes of their own, and prints one table row per
// measure on stdout: | measure | median | p95 | target | met |. Progress and findings go to stderr.
//
//   keystroke  a key typed into flange 1 of section 1 to the page written, to the preview's load
//              finished, and to the frame from which the preview's web view shows the new page
//   typing     ten keys a second for a while: how long each key waits for its page
//   start      corvane started with CORVANE_TIMING=1: its first paint and section 1's page shown,
//              from the moment it was launched
//   print      Print of five sections to the print preview opening and to its first paint;
//              Export PDF of five sections to the file written
//   report     corvane-report on the sample job, pages only and with --pdf; the eleven-flange
//              job against tables of 20 and 10,000 records; 100 jobs in one run and in 100
//              runs
//   memory     resident memory after a minute's worth of keystrokes and after an hour's worth,
//              typed as fast as the preview shows them (fewer and extrapolated unless asked)
//
// Run it from the build folder: cmake -DCORVANE_BUILD_BENCHMARKS=ON, then bench/corvane-timing
// [--quick] [--only keystroke,start,...]; --help lists the rest.

#include "elevenflangejob.h"
#include "timingsupport.h"
#include "windowharness.h"

#include "app/mainwindow.h"
#include "app/previewpane.h"
#include "app/printing.h"
#include "webengine/webengineloader.h"
#include "ground/jobfile.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <cmath>
#include <malloc.h>
#include <cstdio>
#include <unistd.h>

namespace corvane::timing {
namespace {

constexpr int kKeysPerMinute = 600; // ten keys a second
constexpr int kKeysPerHour = 60 * kKeysPerMinute;
constexpr int kKeysPerMemorySample = kKeysPerMinute / 2;

struct Config
{
    QStringList only;
    int keystrokes = 40;
    int typingSeconds = 20;
    int starts = 10;
    int prints = 5;
    int reports = 10;
    int memoryKeys = 2400;
    QString program = QStringLiteral(CORVANE_PROGRAM);
    QString reportProgram = QStringLiteral(CORVANE_REPORT_PROGRAM);
    QString dataFolder = QStringLiteral(CORVANE_DATA_FOLDER);
    QString example = QStringLiteral(CORVANE_EXAMPLE_JOB);

    bool wanted(const char *measure) const
    {
        return only.isEmpty() || only.contains(QLatin1String(measure));
    }
};

bool g_failed = false;

void failed(const QString &why)
{
    g_failed = true;
    note(QStringLiteral("FAILED: ") + why);
}

// Types one key into the flange box: a digit on even turns, a backspace that takes it away on odd
// ones, so that the page changes every time and the section stays the same.
void typeKey(QLineEdit &box, int turn)
{
    if (turn % 2 == 0)
        QTest::keyClick(&box, '5');
    else
        QTest::keyClick(&box, Qt::Key_Backspace);
}

// Keys to the page written, to the page shown (its update or load finished), and to the frame
// from which the preview shows the new page: the first frame drawn after the key whose picture,
// and that of every frame after it, is the page as it stands once the preview has come to rest.
// The preview brings its page up to date in place; with inPlace false it loads the page file again
// after every key, as it once did, for comparison.
void measureKeystrokes(const Config &config, bool inPlace)
{
    const QString path = inPlace ? QString() : QStringLiteral(", page loaded again");
    note(QStringLiteral("keystroke%2: %1 keys into flange 1 of section 1")
             .arg(config.keystrokes)
             .arg(path));
    WindowHarness harness(config.dataFolder);
    if (!harness.open() || !harness.fillSections(1))
        return failed(QStringLiteral("the window did not show section 1"));
    harness.window().preview().setUpdateInPlace(inPlace);
    QLineEdit &box = harness.flangeBox();
    Samples written, loaded, drawn;
    int beforeLoad = 0, firstAfterLoad = 0, laterAfterLoad = 0, changed = 0;
    constexpr int kWarmUp = 3;
    QImage before = harness.previewPicture();
    harness.keepFramePictures(true);
    for (int turn = 0; turn < kWarmUp + config.keystrokes; ++turn) {
        if (!harness.waitQuiet(150, 10000))
            return failed(QStringLiteral("the preview did not come to rest"));
        harness.takeFramePictures();
        const qsizetype pages = harness.pagesShown().size();
        const double start = nowMs();
        typeKey(box, turn);
        const double pageWritten = nowMs();
        if (!waitUntil([&] { return harness.pagesShown().size() > pages; }, 10000))
            return failed(QStringLiteral("the page of a keystroke was not shown"));
        const double pageShown = harness.pagesShown().at(pages);
        if (!harness.waitQuiet(250, 10000))
            return failed(QStringLiteral("the preview did not come to rest"));
        const QImage after = harness.previewPicture();
        const QList<WindowHarness::Frame> frames = harness.takeFramePictures();
        qsizetype settled = frames.size();
        while (settled > 0 && frames[settled - 1].picture == after)
            --settled;
        if (settled == frames.size())
            return failed(QStringLiteral("no frame after a keystroke showed the page at rest"));
        const double frame = frames[settled].time;
        if (turn < kWarmUp) {
            before = after;
            continue;
        }
        written.add(pageWritten - start);
        loaded.add(pageShown - start);
        drawn.add(frame - start);
        if (frame < pageShown)
            ++beforeLoad;
        else if (settled == 0 || frames[settled - 1].time < pageShown)
            ++firstAfterLoad;
        else
            ++laterAfterLoad;
        changed += after != before ? 1 : 0;
        before = after;
    }
    note(QStringLiteral("keystroke%6: the page at rest was first drawn before it was shown "
                        "for %1 keys, in the first frame after it for %2, in a later one for %3; "
                        "it changed on %4 of %5 keys")
             .arg(beforeLoad)
             .arg(firstAfterLoad)
             .arg(laterAfterLoad)
             .arg(changed)
             .arg(config.keystrokes)
             .arg(path));
    if (inPlace) {
        printTimeRow(QStringLiteral("keystroke to page file written"), written, 0);
        printTimeRow(QStringLiteral("keystroke to preview page updated in place"), loaded, 35);
        printTimeRow(QStringLiteral("keystroke to preview frame showing the new page"), drawn, 35,
                     60);
    } else {
        printTimeRow(QStringLiteral("keystroke to preview loadFinished (page loaded again)"),
                     loaded, 100);
        printTimeRow(QStringLiteral("keystroke to preview frame (page loaded again)"), drawn, 100);
    }
}

// Ten keys a second: when each key's page is shown. A key that comes while a page loads is in
// the page the preview loads next, once the current load has finished.
void measureTyping(const Config &config)
{
    const int count = config.typingSeconds * 10;
    note(QStringLiteral("typing: %1 keys at 10 a second").arg(count));
    WindowHarness harness(config.dataFolder);
    if (!harness.open() || !harness.fillSections(1))
        return failed(QStringLiteral("the window did not show section 1"));
    QLineEdit &box = harness.flangeBox();

    struct Key
    {
        double time = 0;
        int loadsToGo = 0;
        double lag = -1;
    };
    QList<Key> keys;
    QObject watch;
    QObject::connect(&harness.window().preview(), &PreviewPane::pageShown, &watch, [&] {
        const double now = nowMs();
        for (Key &key : keys) {
            if (key.loadsToGo > 0 && --key.loadsToGo == 0)
                key.lag = now - key.time;
        }
    });
    const double first = nowMs() + 50;
    std::function<void()> sendNext = [&] {
        Key key;
        key.loadsToGo = harness.previewLoading() ? 2 : 1;
        key.time = nowMs();
        typeKey(box, int(keys.size()));
        keys.append(key);
        if (keys.size() < count) {
            const double due = first + 100.0 * double(keys.size());
            QTimer::singleShot(qMax(0, int(std::lround(due - nowMs()))), Qt::PreciseTimer, &watch,
                               sendNext);
        }
    };
    QTimer::singleShot(50, Qt::PreciseTimer, &watch, sendNext);
    const bool done = waitUntil([&] { return keys.size() == count && keys.last().lag >= 0; },
                                config.typingSeconds * 1000 + 10000);
    if (!done)
        return failed(QStringLiteral("typing: the pages fell behind the keys for good"));

    Samples lags;
    for (const Key &key : keys)
        lags.add(key.lag);
    const double span = keys.last().time - keys.first().time;
    note(QStringLiteral("typing: %1 keys in %2 s").arg(count).arg(span / 1000.0, 0, 'f', 1));
    const QString what = QStringLiteral("typing at 10 keys/s for %1 s: ").arg(config.typingSeconds);
    printTimeRow(what + QStringLiteral("key to its page shown"), lags, 100);
    const double last = keys.last().lag;
    printRow(what + QStringLiteral("last key to its page shown"), formatMs(last),
             QStringLiteral("-"), QStringLiteral("< 100 ms"),
             last < 100 ? QStringLiteral("yes") : QStringLiteral("no"));
    printRow(what + QStringLiteral("longest wait of a key for its page"), formatMs(lags.max()),
             QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"));
}

QProcessEnvironment childEnvironment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A home and runtime folder of its own: no lock of another instance, no settings of the user's.
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (geteuid() == 0)
        env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    return env;
}

// The monotonic time of a "corvane-timing <what> ... monotonic <ms> ms" line, or -1.
double reportedTime(const QByteArray &output, const QByteArray &what)
{
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() >= 3 && words[0] == "corvane-timing" && words[1] == what &&
            words[words.size() - 3] == "monotonic")
            return words[words.size() - 2].toDouble();
    }
    return -1;
}

void measureStart(const Config &config)
{
    note(QStringLiteral("start: %1 starts of %2, after one that is not counted")
             .arg(config.starts)
             .arg(config.program));
    Samples painted, shown;
    for (int run = 0; run <= config.starts; ++run) {
        QTemporaryDir home;
        QProcessEnvironment env = childEnvironment(home.path());
        env.insert(QStringLiteral("CORVANE_TIMING"), QStringLiteral("1"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.setStandardOutputFile(QProcess::nullDevice());
        const double launched = nowMs();
        program.start(config.program, {});
        if (!program.waitForFinished(60000) || program.exitCode() != 0) {
            program.kill();
            program.waitForFinished();
            return failed(QStringLiteral("start: %1 did not end by itself").arg(config.program));
        }
        const QByteArray output = program.readAllStandardError();
        const double paint = reportedTime(output, "first-paint");
        const double page = reportedTime(output, "page-shown");
        if (paint < 0 || page < 0)
            return failed(QStringLiteral("start: no timing lines from %1").arg(config.program));
        if (run == 0)
            continue;
        painted.add(paint - launched);
        shown.add(page - launched);
    }
    printTimeRow(QStringLiteral("start to first window paint"), painted, 150);
    printTimeRow(QStringLiteral("start to section 1's page shown"), shown, 400);
}

// Notes the first paint of the page view of a print preview dialog, then closes the dialog.
class PreviewPaintWatch : public QObject
{
public:
    double painted = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (painted < 0 && !m_seen && event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            auto *dialog = qobject_cast<QPrintPreviewDialog *>(widget->window());
            if (dialog && qobject_cast<QGraphicsView *>(widget->parentWidget())) {
                m_seen = true;
                // Once the paint pass is over.
                QTimer::singleShot(0, dialog, [this, dialog] {
                    painted = nowMs();
                    dialog->reject();
                });
            }
        }
        return false;
    }

private:
    bool m_seen = false;
};

void measurePrint(const Config &config)
{
    note(QStringLiteral("print: %1 prints and exports of five sections").arg(config.prints));
    WindowHarness harness(config.dataFolder);
    if (!harness.open() || !harness.fillSections(5))
        return failed(QStringLiteral("the window did not show section 1"));
    QAction *print = nullptr;
    for (QAction *action :
         harness.window().findChild<QToolBar *>(QStringLiteral("TB"))->actions()) {
        if (action->text() == QLatin1String("Print"))
            print = action;
    }
    if (!print)
        return failed(QStringLiteral("print: no Print button"));

    Samples opened, painted, exported;
    int pages = 0;
    for (int run = 0; run <= config.prints; ++run) {
        harness.waitQuiet(150, 10000);
        double opening = -1;
        PreviewPaintWatch watch;
        harness.printPreview = [&](ReportPrinter &printer) {
            opening = nowMs();
            pages = printer.pageCount();
            qApp->installEventFilter(&watch);
            printer.preview();
            qApp->removeEventFilter(&watch);
        };
        const double start = nowMs();
        print->trigger(); // as the button does: pending events first, then the command
        if (opening < 0 || watch.painted < 0)
            return failed(QStringLiteral("print: the preview did not open and paint"));
        if (run > 0) {
            opened.add(opening - start);
            painted.add(watch.painted - start);
        }
    }
    note(QStringLiteral("print: the preview had %1 pages").arg(pages));

    QTemporaryDir out;
    harness.pdfPath = out.filePath(QStringLiteral("five.pdf"));
    for (int run = 0; run <= config.prints; ++run) {
        QFile::remove(harness.pdfPath);
        harness.waitQuiet(150, 10000);
        const double start = nowMs();
        harness.window().exportPdfCommand();
        const double end = nowMs();
        if (QFileInfo(harness.pdfPath).size() <= 0)
            return failed(QStringLiteral("export: no PDF was written"));
        if (run > 0)
            exported.add(end - start);
    }
    printTimeRow(QStringLiteral("Print of five sections to print preview opening"), opened, 1000);
    printTimeRow(QStringLiteral("Print of five sections to print preview painted"), painted, 1000);
    printTimeRow(QStringLiteral("Export PDF of five sections to file written"), exported, 0);
}

// Runs corvane-report with arguments as a process of its own and returns how long it took, or -1
// when it failed.
double timeReport(const Config &config, const QString &home, const QStringList &arguments)
{
    QProcess program;
    program.setProcessEnvironment(childEnvironment(home));
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());
    const double start = nowMs();
    program.start(config.reportProgram, arguments);
    const bool finished = program.waitForFinished(600000);
    const double end = nowMs();
    if (!finished || program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0) {
        failed(
            QStringLiteral("report: %1 %2 failed").arg(config.reportProgram, arguments.join(' ')));
        return -1;
    }
    return end - start;
}

// A bend table of rows records (bench/make-bench-workbook.py), at path.
bool makeWorkbook(int rows, const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(CORVANE_BENCH_SCRIPT), QString::number(rows), path});
    return python.waitForFinished(120000) && python.exitCode() == 0;
}

// The eleven-flange section of MAT00 0.5 mm on vee 4, which both bench workbooks hold once.
JobFileContent elevenFlangeJob()
{
    return jobFileContent(bench::elevenFlangeJob(QStringLiteral("MAT00"), QStringLiteral("0.5")));
}

void printRatioRow(const QString &measure, double ratio, const QString &target, bool met)
{
    printRow(measure, QStringLiteral("%1x").arg(ratio, 0, 'f', 2), QStringLiteral("-"), target,
             met ? QStringLiteral("yes") : QStringLiteral("no"));
}

void measureReport(const Config &config)
{
    note(QStringLiteral("report: %1 runs each of %2 on %3")
             .arg(config.reports)
             .arg(config.reportProgram, config.example));
    QTemporaryDir home;
    const QDir here(home.path());
    const QString folder = here.filePath(QStringLiteral("out"));
    const QString pdf = here.filePath(QStringLiteral("bracket.pdf"));
    const QList<QStringList> variants = {
        {QStringLiteral("--out"), folder, config.example},
        {QStringLiteral("--out"), folder, QStringLiteral("--pdf"), pdf, config.example},
    };
    const QStringList names = {QStringLiteral("corvane-report on bracket.bm, pages only"),
                               QStringLiteral("corvane-report on bracket.bm, with --pdf")};
    const auto timeRuns = [&](const QStringList &arguments, int runs, Samples &times) {
        for (int run = 0; run <= runs; ++run) {
            QDir(folder).removeRecursively();
            QFile::remove(pdf);
            const double ms = timeReport(config, home.path(), arguments);
            if (ms < 0)
                return false;
            if (run > 0)
                times.add(ms);
        }
        return true;
    };
    for (int v = 0; v < variants.size(); ++v) {
        Samples times;
        if (!timeRuns(variants[v], config.reports, times))
            return;
        printTimeRow(names[v], times, 0);
    }

    // The eleven-flange job against a table of 20 records and one of 10,000, runs interleaved so
    // that a busy spell of the machine falls on both alike.
    const QString job = here.filePath(QStringLiteral("eleven.bm"));
    const QString small = here.filePath(QStringLiteral("small.xls"));
    const QString large = here.filePath(QStringLiteral("large.xls"));
    if (!writeJobFile(elevenFlangeJob(), job).ok() || !makeWorkbook(20, small) ||
        !makeWorkbook(10000, large))
        return failed(QStringLiteral("report: cannot write the job or the workbooks"));
    Samples withSmall, withLarge;
    for (int run = 0; run < 2 * config.reports; ++run) {
        const QStringList common = {QStringLiteral("--out"), folder, job};
        const double a = timeReport(config, home.path(), QStringList{"--table", small} + common);
        const double b = timeReport(config, home.path(), QStringList{"--table", large} + common);
        if (a < 0 || b < 0)
            return;
        withSmall.add(a);
        withLarge.add(b);
    }
    printTimeRow(QStringLiteral("corvane-report, eleven-flange job, 20-row table"), withSmall, 0);
    printTimeRow(QStringLiteral("corvane-report, eleven-flange job, 10,000-row table"), withLarge,
                 0);
    const double tableRatio = withLarge.median() / withSmall.median();
    printRatioRow(QStringLiteral("10,000-row table against 20-row table, medians"), tableRatio,
                  QStringLiteral("<= 1.1x"), tableRatio <= 1.1);

    // 100 jobs: in one run, and in 100 runs of one job each.
    constexpr int kJobs = 100;
    QStringList jobs;
    for (int i = 1; i <= kJobs; ++i) {
        jobs << here.filePath(QStringLiteral("job%1.bm").arg(i, 3, 10, QLatin1Char('0')));
        if (!QFile::copy(config.example, jobs.last()))
            return failed(QStringLiteral("report: cannot copy the sample job"));
    }
    Samples batch;
    if (!timeRuns(QStringList{QStringLiteral("--out"), folder} + jobs, qMax(1, config.reports / 3),
                  batch))
        return;
    double singles = 0;
    for (const QString &one : jobs) {
        QDir(folder).removeRecursively();
        const double ms = timeReport(config, home.path(), {QStringLiteral("--out"), folder, one});
        if (ms < 0)
            return;
        singles += ms;
    }
    printTimeRow(QStringLiteral("corvane-report, 100 jobs in one run"), batch, 0);
    printRow(QStringLiteral("corvane-report, 100 runs of one job"), formatMs(singles),
             QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"));
    const double speedUp = singles / batch.median();
    printRatioRow(QStringLiteral("100 jobs: 100 runs against one run"), speedUp,
                  QStringLiteral(">= 10x"), speedUp >= 10);
}

struct MemorySample
{
    int keys = 0;
    double window = 0; // kB, this process, which holds the window
    double engine = 0; // kB, the web engine's processes: page renderers and their zygotes
};

// A renderer is forked from a zygote and keeps the zygote's command line; every process this one
// started is the web engine's.
double engineRssKb()
{
    double total = 0;
    for (qint64 pid : descendants(getpid()))
        total += qMax(0.0, rssKb(pid));
    return total;
}

// The memory after an hour of keys: measured when that many were typed, otherwise the last
// sample plus, for the keys still to come, the growth per key that a straight line through the
// samples from the first minute on gives (none when it falls).
double atHour(const QList<MemorySample> &samples, double MemorySample::*field, double *slope)
{
    QList<MemorySample> used;
    for (const MemorySample &s : samples) {
        if (s.keys >= kKeysPerMinute)
            used.append(s);
    }
    *slope = 0;
    if (used.size() >= 2) {
        double mk = 0, mv = 0;
        for (const MemorySample &s : used) {
            mk += s.keys;
            mv += s.*field;
        }
        mk /= double(used.size());
        mv /= double(used.size());
        double num = 0, den = 0;
        for (const MemorySample &s : used) {
            num += (s.keys - mk) * (s.*field - mv);
            den += (s.keys - mk) * (s.keys - mk);
        }
        *slope = den > 0 ? num / den : 0;
    }
    const MemorySample &last = samples.last();
    if (last.keys >= kKeysPerHour)
        return last.*field;
    return last.*field + qMax(0.0, *slope) * double(kKeysPerHour - last.keys);
}

void measureMemory(const Config &config)
{
    const int count = qMax(config.memoryKeys, 2 * kKeysPerMinute);
    note(QStringLiteral("memory: %1 keys, each after the page of the one before was shown")
             .arg(count));
    WindowHarness harness(config.dataFolder);
    if (!harness.open() || !harness.fillSections(1))
        return failed(QStringLiteral("the window did not show section 1"));
    QLineEdit &box = harness.flangeBox();
    QList<MemorySample> samples;
    const auto sample = [&](int keys) {
        MemorySample s{keys, rssKb(getpid()), engineRssKb()};
        samples.append(s);
        // What the window process holds in malloc's heap: steadier than its resident memory.
        note(QStringLiteral("memory: after %1 keys: window process %2 (heap in use %3), web engine "
                            "processes %4")
                 .arg(keys)
                 .arg(formatMb(s.window), formatMb(double(mallinfo2().uordblks) / 1024.0),
                      formatMb(s.engine)));
    };
    sample(0);
    const double start = nowMs();
    for (int key = 1; key <= count; ++key) {
        const qsizetype pages = harness.pagesShown().size();
        const int loads = harness.previewLoading() ? 2 : 1;
        typeKey(box, key - 1);
        if (!waitUntil([&] { return harness.pagesShown().size() >= pages + loads; }, 10000))
            return failed(QStringLiteral("memory: the page of a key was not shown"));
        if (key % kKeysPerMemorySample == 0 || key == count)
            sample(key);
    }
    note(QStringLiteral("memory: %1 keys in %2 s")
             .arg(count)
             .arg((nowMs() - start) / 1000.0, 0, 'f', 1));

    const MemorySample *minute = nullptr;
    for (const MemorySample &s : samples) {
        if (!minute && s.keys >= kKeysPerMinute)
            minute = &s;
    }
    const int typed = samples.last().keys;
    const QString atEnd = typed >= kKeysPerHour ? QStringLiteral("an hour of typing (36,000 keys)")
                                                : QStringLiteral("%1 keys (%2 minutes of typing)")
                                                      .arg(typed)
                                                      .arg(typed / kKeysPerMinute);
    const struct
    {
        const char *name;
        double MemorySample::*field;
    } parts[] = {{"window process", &MemorySample::window},
                 {"web engine's processes", &MemorySample::engine}};
    for (const auto &part : parts) {
        const QString name = QLatin1String(part.name);
        const double atMinute = minute->*part.field;
        double highest = 0;
        for (const MemorySample &s : samples)
            highest = qMax(highest, s.*part.field);
        printRow(QStringLiteral("RSS of the %1 after a minute of typing (600 keys)").arg(name),
                 formatMb(atMinute), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"));
        // "The same": within 5 % of the minute's, which the allocators' own ups and downs stay in.
        const double limit = atMinute * 1.05;
        const double last = samples.last().*part.field;
        printRow(QStringLiteral("RSS of the %1 after %2").arg(name, atEnd), formatMb(last),
                 QStringLiteral("max %1").arg(formatMb(highest)),
                 QStringLiteral("same as after a minute (< %1)").arg(formatMb(limit)),
                 last < limit ? QStringLiteral("yes") : QStringLiteral("no"));
        if (typed >= kKeysPerHour)
            continue;
        // Resident memory goes up and down by more than it grows in a few minutes: the line
        // through the samples says little, and is only shown, not judged.
        double slope = 0;
        const double extrapolated = atHour(samples, part.field, &slope);
        note(QStringLiteral("memory: %1 grow %2 kB per 1,000 keys after the first minute")
                 .arg(name)
                 .arg(slope * 1000, 0, 'f', 1));
        printRow(QStringLiteral("RSS of the %1 after an hour of typing, extrapolated from %2 keys")
                     .arg(name)
                     .arg(typed),
                 formatMb(extrapolated), QStringLiteral("-"),
                 QStringLiteral("same as after a minute (< %1)").arg(formatMb(limit)),
                 QStringLiteral("not measured"));
    }
}

} // namespace
} // namespace corvane::timing

int main(int argc, char *argv[])
{
    using namespace corvane::timing;
    // Headless, and as root the web engine runs without its sandbox (the program itself never
    // turns it off).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvane-timing"));
    corvane::setWebEngineModule(QStringLiteral(CORVANE_WEBENGINE_MODULE));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Times the Corvane main window and programs; prints markdown table rows "
                       "| measure | median | p95 | target | met | on stdout."));
    parser.addHelpOption();
    const QCommandLineOption quick(QStringLiteral("quick"),
                                   QStringLiteral("Fewer repetitions, a shorter memory run."));
    const QCommandLineOption only(
        QStringLiteral("only"),
        QStringLiteral("Only these measures, comma-separated: keystroke, typing, start, print, "
                       "report, memory."),
        QStringLiteral("measures"));
    const QCommandLineOption memoryKeys(
        QStringLiteral("memory-keys"),
        QStringLiteral("Keys the memory measure types: 2400 (four minutes' worth) unless asked, "
                       "36000 for a whole hour's worth."),
        QStringLiteral("n"));
    const QCommandLineOption program(QStringLiteral("program"),
                                     QStringLiteral("The corvane program to start."),
                                     QStringLiteral("path"));
    const QCommandLineOption reportProgram(QStringLiteral("report-program"),
                                           QStringLiteral("The corvane-report program."),
                                           QStringLiteral("path"));
    parser.addOptions({quick, only, memoryKeys, program, reportProgram});
    parser.process(app);

    Config config;
    if (parser.isSet(quick)) {
        config.keystrokes = 15;
        config.typingSeconds = 5;
        config.starts = 4;
        config.prints = 2;
        config.reports = 3;
        config.memoryKeys = 1200;
    }
    if (parser.isSet(only))
        config.only = parser.value(only).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (parser.isSet(memoryKeys))
        config.memoryKeys = parser.value(memoryKeys).toInt();
    if (parser.isSet(program))
        config.program = parser.value(program);
    if (parser.isSet(reportProgram))
        config.reportProgram = parser.value(reportProgram);
    const QStringList known = {QStringLiteral("keystroke"), QStringLiteral("typing"),
                               QStringLiteral("start"),     QStringLiteral("print"),
                               QStringLiteral("report"),    QStringLiteral("memory")};
    for (const QString &name : config.only) {
        if (!known.contains(name)) {
            std::fprintf(stderr, "corvane-timing: no measure called %s (%s)\n", qPrintable(name),
                         qPrintable(known.join(QStringLiteral(", "))));
            return 2;
        }
    }

    QFile loadavg(QStringLiteral("/proc/loadavg"));
    if (loadavg.open(QIODevice::ReadOnly))
        note(QStringLiteral("load average %1")
                 .arg(QString::fromLatin1(loadavg.readAll().trimmed())));
    if (config.wanted("keystroke")) {
        measureKeystrokes(config, true);
        measureKeystrokes(config, false);
    }
    if (config.wanted("typing"))
        measureTyping(config);
    if (config.wanted("start"))
        measureStart(config);
    if (config.wanted("print"))
        measurePrint(config);
    if (config.wanted("report"))
        measureReport(config);
    if (config.wanted("memory"))
        measureMemory(config);
    return g_failed ? 1 : 0;
}
