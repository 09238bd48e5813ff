#pragma once

// The program's end after a long run, and the notice of it at the next start.
//
// The desktop program ends itself after about 26 hours 13 minutes of running: a timer of 65,535
// milliseconds that has ticked 1,440 times, as it always has. A job with unsaved changes is first
// saved to a recovery file in the temp folder, "recovered-<date>-<time>.bm", and nothing is asked:
// nobody may be there to answer. At the next start the main window names each such file once;
// once named, it is renamed to end in "-reported.bm" and is not named again.

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;

namespace corvane {

class Job;

class TimedEnd : public QObject
{
    Q_OBJECT

public:
    // A tick of 65,535 ms, 1,440 times: 94,370 seconds, the 26 hours 13 minutes after which the
    // program has always ended itself.
    static constexpr int kTickMilliseconds = 65535;
    static constexpr int kTicks = 1440;

    // Starts the timer; end is called on the last tick.
    TimedEnd(std::function<void()> end, QObject *parent);

    // Saves job to a recovery file in tempFolder when it has unsaved changes; returns the file's
    // path, or the empty text when there was nothing to save or it could not be written.
    static QString saveRecovery(const Job &job, const QString &tempFolder);
    // Recovery files not yet named to the operator, newest first.
    static QStringList recoveryFiles(const QString &tempFolder);
    // The notice of each recovery file not yet named, which is renamed to end in "-reported.bm"
    // (when it cannot be, the notice names it as it is).
    static QStringList takeRecoveryNotices(const QString &tempFolder);

private:
    std::function<void()> m_end;
    QTimer *m_timer = nullptr;
    int m_ticks = 0;
};

} // namespace corvane
