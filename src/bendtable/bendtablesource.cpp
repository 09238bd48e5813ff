#include "bendtable/bendtablesource.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

// A file modified this recently may be modified again within the same clock tick.
constexpr qint64 kRacyNanoseconds = 2'000'000'000;

qint64 nanoseconds(const timespec &t)
{
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes a descriptor on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

bool BendTableSource::Identity::operator==(const Identity &other) const
{
    return device == other.device && inode == other.inode && size == other.size &&
           modified == other.modified && changed == other.changed;
}

BendTableSource::BendTableSource(QString path)
    : m_path(std::move(path)), m_table(std::make_shared<const BendTable>())
{}

std::shared_ptr<const BendTable> BendTableSource::table()
{
    if (m_identity) {
        struct stat now;
        const QByteArray name = QFile::encodeName(m_path);
        if (::stat(name.constData(), &now) == 0) {
            const Identity id{quint64(now.st_dev), quint64(now.st_ino), qint64(now.st_size),
                              nanoseconds(now.st_mtim), nanoseconds(now.st_ctim)};
            if (id == *m_identity)
                return m_table;
        }
    }
    if (readOnce() == ReadOutcome::Changed && readOnce() == ReadOutcome::Changed) {
        m_error = QStringLiteral("The bend table %1 changed while it was read; close the "
                                 "program that is writing it and try again")
                      .arg(QDir::toNativeSeparators(m_path));
        m_table = BendTable::unreadable(m_error);
        m_identity.reset();
    }
    return m_table;
}

BendTableSource::ReadOutcome BendTableSource::readOnce()
{
    const QString shown = QDir::toNativeSeparators(m_path);
    const QByteArray name = QFile::encodeName(m_path);
    m_identity.reset();
    ++m_readCount;
    const auto failWith = [this](QString message) {
        m_error = std::move(message);
        m_table = BendTable::unreadable(m_error);
        return ReadOutcome::Done;
    };

    // Non-blocking, so that a FIFO in its place cannot stall the program.
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return failWith(QStringLiteral("Bend table not found: %1").arg(shown));
        return failWith(
            QStringLiteral("Cannot read the bend table %1: %2").arg(shown, systemError(error)));
    }
    struct stat before;
    if (::fstat(fd.get(), &before) != 0)
        return failWith(
            QStringLiteral("Cannot read the bend table %1: %2").arg(shown, systemError(errno)));
    if (!S_ISREG(before.st_mode))
        return failWith(QStringLiteral("The bend table %1 is not a regular file").arg(shown));
    const Identity identity{quint64(before.st_dev), quint64(before.st_ino), qint64(before.st_size),
                            nanoseconds(before.st_mtim), nanoseconds(before.st_ctim)};
    if (before.st_size > kMaxBytes) {
        m_identity = identity;
        return failWith(QStringLiteral("The bend table %1 is too large (%2 MB); a bend table "
                                       "workbook has at most %3 MB")
                            .arg(shown)
                            .arg(before.st_size / (1024 * 1024))
                            .arg(kMaxBytes / (1024 * 1024)));
    }

    // One byte more than the size, to see a file that grows while it is read.
    QByteArray bytes(qsizetype(before.st_size) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failWith(
                QStringLiteral("Cannot read the bend table %1: %2").arg(shown, systemError(errno)));
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(got);

    struct stat after;
    if (::stat(name.constData(), &after) != 0 || got != before.st_size)
        return ReadOutcome::Changed;
    const Identity afterIdentity{quint64(after.st_dev), quint64(after.st_ino),
                                 qint64(after.st_size), nanoseconds(after.st_mtim),
                                 nanoseconds(after.st_ctim)};
    if (afterIdentity != identity)
        return ReadOutcome::Changed;

    const BendTableLoad load = BendTable::fromWorkbook(bytes);
    m_table = load.table;
    switch (load.errorKind) {
    case BendTableLoad::Error::None:
        m_error.clear();
        break;
    case BendTableLoad::Error::NotWorkbook:
    case BendTableLoad::Error::Password:
        m_error = QStringLiteral("The bend table %1 is %2").arg(shown, load.error);
        break;
    case BendTableLoad::Error::NoSheet:
    case BendTableLoad::Error::NoColumn:
        m_error = QStringLiteral("The bend table %1 has %2").arg(shown, load.error);
        break;
    case BendTableLoad::Error::Damaged:
        m_error = QStringLiteral("Cannot read the bend table %1: %2").arg(shown, load.error);
        break;
    }
    if (!load.ok())
        m_table = BendTable::unreadable(m_error);

    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    if (nanoseconds(now) - identity.modified >= kRacyNanoseconds)
        m_identity = identity;
    return ReadOutcome::Done;
}

} // namespace corvane
