#pragma once

// Start-up timing, for measuring how soon the program is usable.
//
// With CORVANE_TIMING=1 in its environment the program writes two lines to stderr and then ends:
//
//     corvane-timing first-paint <ms> ms since start, monotonic <ms> ms
//     corvane-timing page-shown <ms> ms since start, monotonic <ms> ms
//
// first-paint: the main window's first paint pass is done (its widgets painted and put on the
// screen). page-shown: the preview's web view has finished loading section 1's page of the new job
// of the first start. "Since start" counts from the process start the system records (at its
// clock tick, 10 ms); "monotonic" is the system's monotonic clock, on which a program that starts
// this one can take the start itself (bench/windowtiming.cpp). The About window of the first
// activation is closed as soon as it has been painted, as by an operator who closes it at once.
// Nothing of this runs without the variable.

#include <QElapsedTimer>
#include <QObject>

namespace corvane {

class MainWindow;

class StartTiming : public QObject
{
    Q_OBJECT

public:
    // Whether CORVANE_TIMING asks for the timing.
    static bool requested();
    // Milliseconds on the monotonic clock, the clock the lines give.
    static double monotonicMs();
    // Milliseconds since this process started, as the system records the start.
    static double msSinceProcessStart();

    explicit StartTiming(MainWindow &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static void report(const char *what);

    MainWindow &m_window;
    bool m_painted = false;
    bool m_aboutClosed = false;
    bool m_pageShown = false;
};

} // namespace corvane
