#include "timingsupport.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace corvane::timing {

double nowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

double Samples::median() const
{
    if (m_values.isEmpty())
        return 0;
    QList<double> sorted = m_values;
    std::sort(sorted.begin(), sorted.end());
    const qsizetype n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

double Samples::p95() const
{
    if (m_values.isEmpty())
        return 0;
    QList<double> sorted = m_values;
    std::sort(sorted.begin(), sorted.end());
    const auto rank = qsizetype(std::ceil(0.95 * double(sorted.size())));
    return sorted[std::max<qsizetype>(rank, 1) - 1];
}

double Samples::max() const
{
    return m_values.isEmpty() ? 0 : *std::max_element(m_values.begin(), m_values.end());
}

void printRow(const QString &measure, const QString &median, const QString &p95,
              const QString &target, const QString &met)
{
    std::printf("| %s | %s | %s | %s | %s |\n", qPrintable(measure), qPrintable(median),
                qPrintable(p95), qPrintable(target), qPrintable(met));
    std::fflush(stdout);
}

QString formatMs(double ms)
{
    return QStringLiteral("%1 ms").arg(ms, 0, 'f', 1);
}

QString formatMb(double kb)
{
    return QStringLiteral("%1 MB").arg(kb / 1024.0, 0, 'f', 1);
}

void printTimeRow(const QString &measure, const Samples &samples, double targetMs,
                  double p95TargetMs)
{
    QString target = targetMs > 0 ? QStringLiteral("< %1 ms").arg(targetMs) : QStringLiteral("-");
    if (p95TargetMs > 0)
        target += QStringLiteral(", p95 <= %1 ms").arg(p95TargetMs);
    if (samples.isEmpty()) {
        printRow(measure, QStringLiteral("failed"), QStringLiteral("failed"), target,
                 QStringLiteral("no"));
        return;
    }
    const double median = samples.median();
    const bool met = median < targetMs && (p95TargetMs <= 0 || samples.p95() <= p95TargetMs);
    printRow(measure, formatMs(median), formatMs(samples.p95()), target,
             targetMs > 0 ? (met ? QStringLiteral("yes") : QStringLiteral("no"))
                          : QStringLiteral("-"));
}

void note(const QString &text)
{
    std::fprintf(stderr, "corvane-timing: %s\n", qPrintable(text));
    std::fflush(stderr);
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    check.setInterval(2);
    bool met = false;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) {
            met = true;
            loop.quit();
        }
    });
    QTimer::singleShot(timeoutMs, Qt::PreciseTimer, &loop, [&] { loop.quit(); });
    check.start();
    loop.exec();
    return met || done();
}

void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, [&] { loop.quit(); });
    loop.exec();
}

double rssKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble();
    }
    return -1;
}

QList<qint64> descendants(qint64 pid)
{
    // The parent of every process, from the fourth field of its stat line.
    QMultiHash<qint64, qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 child = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children.insert(fields[1].toLongLong(), child);
    }
    QList<qint64> found;
    QList<qint64> open{pid};
    while (!open.isEmpty()) {
        const QList<qint64> next = children.values(open.takeFirst());
        found += next;
        open += next;
    }
    return found;
}

bool commandLineHas(qint64 pid, const QByteArray &text)
{
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(text);
}

} // namespace corvane::timing
