#pragma once

// The busy pointer while a command works, and, for a command that must not be started again
// before it ends (Print, Export PDF), the toolbar blocked meanwhile.

class QWidget;

namespace corvane {

class BusyCursor
{
public:
    // blocked, when given, is disabled until the BusyCursor goes.
    explicit BusyCursor(QWidget *blocked = nullptr);
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    // The usual pointer again while blocked stays blocked: for a window the command opens.
    void restorePointer();

private:
    QWidget *m_blocked = nullptr;
    bool m_busy = true;
};

} // namespace corvane
