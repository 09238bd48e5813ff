#include "app/afterfirstpaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace corvane {

AfterFirstPaint::AfterFirstPaint(QWidget &window, QObject *context, std::function<void()> then)
    : m_window(window), m_context(context), m_then(std::move(then))
{
    m_window.installEventFilter(this);
}

AfterFirstPaint::~AfterFirstPaint()
{
    m_window.removeEventFilter(this);
}

bool AfterFirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && event->type() == QEvent::Paint && m_then) {
        // Posted: the paint pass ends first.
        if (m_context)
            QTimer::singleShot(0, m_context.data(), std::move(m_then));
        m_then = nullptr;
    }
    return false;
}

} // namespace corvane
