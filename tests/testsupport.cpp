#include "testsupport.h"

#include <QFile>

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
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

namespace {

int waitFor(pid_t pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

int runInChild(const std::function<int()> &fn, bool unprivileged)
{
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (unprivileged && geteuid() == 0) {
            const gid_t nogroup = 65534;
            const uid_t nobody = 65534;
            if (setgroups(0, nullptr) != 0 || setgid(nogroup) != 0 || setuid(nobody) != 0)
                _exit(99);
        }
        _exit(fn());
    }
    return waitFor(pid);
}

int runWithFileSizeLimit(const std::function<int()> &fn, long limit)
{
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{};
        if (getrlimit(RLIMIT_FSIZE, &rl) != 0)
            _exit(99);
        rl.rlim_cur = rlim_t(limit);
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0)
            _exit(99);
        _exit(fn());
    }
    return waitFor(pid);
}

bool liftFileSizeLimit()
{
    rlimit rl{};
    if (getrlimit(RLIMIT_FSIZE, &rl) != 0)
        return false;
    rl.rlim_cur = rl.rlim_max;
    return setrlimit(RLIMIT_FSIZE, &rl) == 0;
}

int runOnOwnFileSystem(const QString &folder, const char *options, const std::function<int()> &fn)
{
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        // A mount namespace of the child's own: the file system goes with it.
        if (unshare(CLONE_NEWNS) != 0 ||
            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options) != 0)
            _exit(kCannotMount);
        _exit(fn());
    }
    return waitFor(pid);
}

BendRecord bendRecord(const QString &material, double thickness, double vee, double kFactor,
                      double internalRadius, const QString &standard)
{
    BendRecord r;
    r.material = BendValue::fromText(material);
    r.thickness = BendValue::fromNumber(thickness);
    r.vee = BendValue::fromNumber(vee);
    r.standard = standard.isEmpty() ? BendValue::empty() : BendValue::fromText(standard);
    r.kFactor = BendValue::fromNumber(kFactor);
    r.internalRadius = BendValue::fromNumber(internalRadius);
    return r;
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
        s.vee(j).choose(0);
        ++j;
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

} // namespace corvane::test
