#include "testsupport.h"

#include <QFile>

#include <csignal>
#include <grp.h>
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
        rlimit rl{rlim_t(limit), rlim_t(limit)};
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0)
            _exit(99);
        _exit(fn());
    }
    return waitFor(pid);
}

} // namespace corvane::test
