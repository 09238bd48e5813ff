#include "testsupport.h"

#include "editing/jobeditor.h"
#include "xlsbuilder.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <csignal>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corvane::test {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

namespace {

// Runs fn in a child process once prepare, in the child, returned 0; else exits with its status.
int inChild(const std::function<int()> &fn, const std::function<int()> &prepare)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int refused = prepare();
        _exit(refused ? refused : fn());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool setFileSizeLimit(bool lift, long limit)
{
    rlimit rl{};
    if (getrlimit(RLIMIT_FSIZE, &rl) != 0)
        return false;
    rl.rlim_cur = lift ? rl.rlim_max : rlim_t(limit);
    return setrlimit(RLIMIT_FSIZE, &rl) == 0;
}

} // namespace

int runInChild(const std::function<int()> &fn, bool unprivileged)
{
    return inChild(fn, [unprivileged] {
        if (!unprivileged || geteuid() != 0)
            return 0;
        const unsigned nobody = 65534; // the user nobody, in the group nogroup
        return setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0 ? 99 : 0;
    });
}

int runWithFileSizeLimit(const std::function<int()> &fn, long limit)
{
    return inChild(fn, [limit] {
        std::signal(SIGXFSZ, SIG_IGN);
        return setFileSizeLimit(false, limit) ? 0 : 99;
    });
}

bool liftFileSizeLimit()
{
    return setFileSizeLimit(true, 0);
}

int runOnOwnFileSystem(const QString &folder, const char *options, const std::function<int()> &fn)
{
    // A mount namespace of the child's own: the file system goes with it.
    return inChild(fn, [&] {
        const bool mounted =
            unshare(CLONE_NEWNS) == 0 &&
            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
            mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options) == 0;
        return mounted ? 0 : kCannotMount;
    });
}

QList<PdfPage> pdfPages(const QString &pdf)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<PdfPage> pages;
    if (!text.waitForFinished(60000) || text.exitCode() != 0)
        return pages;
    const QRegularExpression page(QStringLiteral("<page width=\"([0-9.]+)\""));
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"[0-9.]+\" yMin=\"[0-9.]+\" "
                       "xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">(.*)</word>"));
    for (const QString &line : QString::fromUtf8(text.readAllStandardOutput()).split('\n')) {
        if (const auto match = page.match(line); match.hasMatch()) {
            pages.append({match.captured(1).toDouble(), {}, 0});
        } else if (const auto found = word.match(line); found.hasMatch() && !pages.isEmpty()) {
            pages.last().words.append(found.captured(2));
            pages.last().rightmost = std::max(pages.last().rightmost, found.captured(1).toDouble());
        }
    }
    return pages;
}

QByteArray textWorkbook(const std::vector<QStringList> &rows, const QString &sheet)
{
    QByteArray records;
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < rows[r].size(); ++c)
            records += labelCell(r, c, rows[r][c], true);
    }
    return simpleWorkbook(sheet, records);
}

BendRecord bendRecord(const QString &material, double thickness, double vee, double kFactor,
                      double internalRadius, const QString &standard)
{
    return {BendValue::fromText(material),
            BendValue::fromNumber(thickness),
            BendValue::fromNumber(vee),
            standard.isEmpty() ? BendValue::empty() : BendValue::fromText(standard),
            BendValue::fromNumber(kFactor),
            BendValue::fromNumber(internalRadius)};
}

const BendTable &workedExampleTable()
{
    static const BendTable table([] {
        std::vector<BendRecord> records;
        for (double vee : {10.0, 16.0, 20.0, 20.5, 92.0, 93.0})
            records.push_back(bendRecord(QStringLiteral("MS"), 2, vee, 0.33, 2));
        records.push_back(bendRecord(QStringLiteral("MS"), 2, 25, 0.4, 3));
        records.push_back(bendRecord(QStringLiteral("MS"), 2, 25, 0.4, 3));
        return records;
    }());
    return table;
}

Section makeSection(std::initializer_list<const char *> flanges,
                    std::initializer_list<std::pair<const char *, const char *>> bends)
{
    Section s;
    int i = 0;
    for (const char *flange : flanges)
        s.setOutside(i++, QString::fromUtf8(flange));
    int j = 0;
    for (const auto &[angle, vee] : bends) {
        s.setAngle(j, QString::fromUtf8(angle));
        s.vee(j).setItems({QString::fromUtf8(vee)});
        s.vee(j++).choose(0);
    }
    return s;
}

Job workedExampleJob()
{
    Job job;
    job.material().setItems({QStringLiteral("MS")});
    job.material().choose(0);
    job.thickness().setItems({QStringLiteral("2")});
    job.thickness().choose(0);
    job.section(1) = makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}});
    return job;
}

void fillWorkedExample(JobEditor &editor, int n)
{
    editor.chooseMaterial(editor.job().material().items().indexOf(QStringLiteral("MS")));
    editor.chooseThickness(editor.job().thickness().items().indexOf(QStringLiteral("2")));
    for (int k = 0; k < 3; ++k)
        editor.setOutside(n, k, QString::fromLatin1(k == 1 ? "100" : "50"));
    editor.setAngle(n, 0, QStringLiteral("90"));
    editor.setAngle(n, 1, QStringLiteral("90"));
}

ProgramRun runProgram(const QString &program, const QStringList &arguments, const QString &folder,
                      const QProcessEnvironment &extra)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    for (const QString &name : extra.keys())
        environment.insert(name, extra.value(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    ProgramRun run;
    if (process.waitForFinished(180000) && process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    process.kill();
    process.waitForFinished();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

} // namespace corvane::test
