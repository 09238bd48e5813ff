#include "app/starttiming.h"

#include "app/aboutwindow.h"
#include "app/mainwindow.h"
#include "app/previewpane.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace corvane {

namespace {

double clockMs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

} // namespace

bool StartTiming::requested()
{
    return qEnvironmentVariable("CORVANE_TIMING") == QLatin1String("1");
}

double StartTiming::monotonicMs()
{
    return clockMs(CLOCK_MONOTONIC);
}

double StartTiming::msSinceProcessStart()
{
    // Field 22 of /proc/self/stat: the start in clock ticks since boot. The command name in field
    // 2 may hold blanks; the fields after it follow its closing parenthesis.
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    constexpr int kStartField = 22 - 3; // fields after the name count from field 3
    if (fields.size() <= kStartField)
        return -1;
    const double startMs = fields[kStartField].toDouble() * 1000.0 / double(sysconf(_SC_CLK_TCK));
    return clockMs(CLOCK_BOOTTIME) - startMs;
}

StartTiming::StartTiming(MainWindow &window) : QObject(&window), m_window(window)
{
    qApp->installEventFilter(this);
}

void StartTiming::report(const char *what)
{
    const double monotonic = monotonicMs();
    const double sinceStart = msSinceProcessStart();
    std::fprintf(stderr, "corvane-timing %s %.1f ms since start, monotonic %.3f ms\n", what,
                 sinceStart, monotonic);
    std::fflush(stderr);
}

bool StartTiming::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Paint)
        return false;
    if (!m_painted && watched == &m_window) {
        m_painted = true;
        // The pass that paints the window also paints its children and flushes; it is over when
        // the event loop next turns.
        QTimer::singleShot(0, this, [] { report("first-paint"); });
        // The preview exists from the start; its web view is made after the first paint.
        connect(&m_window.preview(), &PreviewPane::pageShown, this,
                [this](const QUrl &url, bool ok) {
                    if (m_pageShown || !ok || url.fileName() != QLatin1String("wb1.htm"))
                        return;
                    m_pageShown = true;
                    report("page-shown");
                    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
                });
    } else if (auto *about = qobject_cast<AboutWindow *>(watched); about && !m_aboutClosed) {
        m_aboutClosed = true;
        QTimer::singleShot(0, about, &QDialog::accept);
    }
    return false;
}

} // namespace corvane
