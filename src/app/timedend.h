#pragma once

// The program's end after a long run.
//
// The desktop program ends itself after about 26 hours 13 minutes of running: a timer of 65,535
// milliseconds that has ticked 1,440 times, as it always has. A job with unsaved changes is first
// written to the recovery copy (recoverykeeper.h), and nothing is asked: nobody may be there to
// answer. The next start offers the copy back.

#include <QObject>
#include <QString>

#include <functional>

class QTimer;

namespace corvane {

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

private:
    std::function<void()> m_end;
    QTimer *m_timer = nullptr;
    int m_ticks = 0;
};

} // namespace corvane
