#include "app/screenfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace corvane {

QRect fittedGeometry(const QSize &wanted, const QRect &available, const QMargins &frame)
{
    const QRect room = available.marginsRemoved(frame);
    const QSize size = wanted.boundedTo(room.size());
    QRect geometry(QPoint(), size);
    geometry.moveCenter(room.center());
    return geometry;
}

void fitToScreen(QWidget &window, const QSize &wanted)
{
    const QWidget *parent = window.parentWidget();
    QScreen *screen = parent ? parent->screen() : window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        window.resize(wanted);
        return;
    }
    const QRect geometry = fittedGeometry(wanted, screen->availableGeometry());
    window.resize(geometry.size());
    window.move(geometry.topLeft() - QPoint(kWindowFrame.left(), kWindowFrame.top()));
}

} // namespace corvane
