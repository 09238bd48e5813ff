#include "ground/filewrite.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace corvane {

namespace {

std::atomic<int> g_wholeFileWrites{0};

QString cannotWrite(const QString &path, int error)
{
    return QStringLiteral("Cannot write %1: %2")
        .arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

// Writes all of bytes from the start of the file; errno tells why when it fails.
bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

// Whether size bytes can be written over a file without running out of room halfway: within
// the process's file size limit (ulimit -f) and the free space of the file system. Without room,
// replaceFile fails before the old file is touched.
bool roomFor(int fd, qsizetype size)
{
    rlimit limit;
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        rlim_t(size) > limit.rlim_cur)
        return false;
    struct statvfs fs;
    return ::fstatvfs(fd, &fs) == 0 &&
           (unsigned long long)fs.f_bavail * fs.f_frsize >= (unsigned long long)size;
}

} // namespace

QString replaceFile(const QString &path, const QByteArray &bytes)
{
    // Written with the system's calls, so that a failure is named by the system's own reason
    // ("No space left on device"), which the operator can act on.
    const QByteArray part = QFile::encodeName(path + QStringLiteral(".part"));
    const int fd = ::open(part.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return cannotWrite(path, errno);
    int error = writeAll(fd, bytes) ? 0 : errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error == 0 && std::rename(part.constData(), QFile::encodeName(path).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(part.constData());
        return cannotWrite(path, error);
    }
    return {};
}

QString writeProblem(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return cannotWrite(path, EISDIR);
        if (::access(name.constData(), W_OK) != 0) {
            if (errno == EACCES)
                return QStringLiteral("Cannot write %1: the file is read-only").arg(path);
            return cannotWrite(path, errno);
        }
    }
    // The folder: a new file beside the target, as replaceFile makes one, and gone at once.
    const QByteArray probe = QFile::encodeName(path + QStringLiteral(".part"));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return {}; // left by a run that was killed; replaceFile writes over it
        return cannotWrite(path, errno);
    }
    ::close(fd);
    ::unlink(probe.constData());
    return {};
}

QString makeFolder(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    // From the top down, so that a file in the way is named where it stands.
    qsizetype end = 0;
    do {
        end = clean.indexOf(QLatin1Char('/'), end + 1);
        const QString folder = end < 0 ? clean : clean.left(end);
        const QByteArray name = QFile::encodeName(folder);
        struct stat st;
        // One made meanwhile by another job of the run is as good as one made here.
        if (::stat(name.constData(), &st) != 0 &&
            (errno != ENOENT || (::mkdir(name.constData(), 0777) != 0 && errno != EEXIST) ||
             ::stat(name.constData(), &st) != 0))
            return QStringLiteral("Cannot create the folder %1: %2")
                .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        if (!S_ISDIR(st.st_mode))
            return QStringLiteral("Cannot create the folder %1: %2 is a file, not a folder")
                .arg(path, folder);
    } while (end >= 0);
    return {};
}

QString overwriteFile(const QString &path, const QByteArray &bytes)
{
    if (g_wholeFileWrites.load() > 0)
        return replaceFile(path, bytes);
    const QByteArray name = QFile::encodeName(path);
    // No O_TRUNC: a file cut to nothing and grown again is flushed when it is closed, as at a
    // rename over it. No O_CREAT: a new file is made whole by replaceFile, which leaves nothing
    // behind when it fails.
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return replaceFile(path, bytes); // which says what stands in the way, if anything does
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 ||
        !roomFor(fd, bytes.size())) {
        ::close(fd);
        return replaceFile(path, bytes);
    }
    bool written = writeAll(fd, bytes);
    if (written && st.st_size > bytes.size())
        written = ::ftruncate(fd, off_t(bytes.size())) == 0;
    int error = written ? 0 : errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error == 0)
        return {};
    // A failure that room could not foresee (an I/O error): a missing picture, not a torn one.
    ::unlink(name.constData());
    return cannotWrite(path, error);
}

WholeFileWrites::WholeFileWrites()
{
    ++g_wholeFileWrites;
}

WholeFileWrites::~WholeFileWrites()
{
    --g_wholeFileWrites;
}

} // namespace corvane
