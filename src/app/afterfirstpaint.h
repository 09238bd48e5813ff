#pragma once

// Calls a function once a window's first paint is over, if a context object still exists then:
// work that would hold the window's first picture back starts after it.

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace corvane {

class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QWidget &window, QObject *context, std::function<void()> then);
    ~AfterFirstPaint() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    QPointer<QObject> m_context;
    std::function<void()> m_then;
};

} // namespace corvane
