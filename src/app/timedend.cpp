#include "app/timedend.h"

#include <QTimer>

namespace corvane {

TimedEnd::TimedEnd(std::function<void()> end, QObject *parent)
    : QObject(parent), m_end(std::move(end)), m_timer(new QTimer(this))
{
    m_timer->setInterval(kTickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (++m_ticks >= kTicks)
            m_end();
    });
    m_timer->start();
}

} // namespace corvane
