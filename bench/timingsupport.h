#pragma once

// What the measures of corvane-timing share: a clock, samples with their median and 95th
// percentile, the table rows they are printed as, waiting without holding the event loop back,
// and the memory of a process and of the web engine's processes it started.

#include <QList>
#include <QString>

#include <functional>

namespace corvane::timing {

// Milliseconds on the monotonic clock, which every process of the machine shares.
double nowMs();

class Samples
{
public:
    void add(double value) { m_values.append(value); }
    qsizetype size() const { return m_values.size(); }
    bool isEmpty() const { return m_values.isEmpty(); }
    const QList<double> &values() const { return m_values; }
    // The middle value, or the mean of the two middle ones.
    double median() const;
    // The nearest-rank 95th percentile: the smallest value that at least 95 % of the samples do
    // not exceed.
    double p95() const;
    double max() const;

private:
    QList<double> m_values;
};

// One row of the table: | measure | median | p95 | target | met |, on stdout.
void printRow(const QString &measure, const QString &median, const QString &p95,
              const QString &target, const QString &met);
// A row of times in milliseconds against a target of less than targetMs for the median (0: no
// target) and, when p95TargetMs is above 0, of at most that for the 95th percentile.
void printTimeRow(const QString &measure, const Samples &samples, double targetMs,
                  double p95TargetMs = 0);
QString formatMs(double ms);
QString formatMb(double kb);

// Progress and findings, on stderr.
void note(const QString &text);

// Runs the event loop until done() holds or timeoutMs have passed; false on the timeout. done()
// is asked every few milliseconds, so events are handled as they come; whatever a measure times
// is taken where the event is handled, not here.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);
// Runs the event loop for ms milliseconds.
void pause(int ms);

// Resident memory of a process in kB (VmRSS), or -1.
double rssKb(qint64 pid);
// The processes that pid started, and theirs, all the way down.
QList<qint64> descendants(qint64 pid);
// Whether the command line of pid holds text.
bool commandLineHas(qint64 pid, const QByteArray &text);

} // namespace corvane::timing
