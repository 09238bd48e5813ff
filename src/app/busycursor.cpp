#include "app/busycursor.h"

#include <QApplication>
#include <QWidget>

namespace corvane {

BusyCursor::BusyCursor(QWidget *blocked) : m_blocked(blocked)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_blocked)
        m_blocked->setEnabled(false);
}

BusyCursor::~BusyCursor()
{
    restorePointer();
    if (m_blocked)
        m_blocked->setEnabled(true);
}

void BusyCursor::restorePointer()
{
    if (m_busy)
        QApplication::restoreOverrideCursor();
    m_busy = false;
}

} // namespace corvane
