#pragma once

// Where a top-level window opens: as large as it would like, but within the screen it opens on,
// frame and all, so that no part of it (a status bar, a dialog's buttons) starts off the screen.

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace corvane {

// The room a window manager takes around a window's client area: a title bar and borders, as
// large as the common desktops draw them.
inline const QMargins kWindowFrame(8, 40, 8, 8);

// The client geometry of a window that would like a client area of wanted, on a screen whose
// free area (without its panels) is available: no larger than that area less the frame, and
// centred on it.
QRect fittedGeometry(const QSize &wanted, const QRect &available,
                     const QMargins &frame = kWindowFrame);

// Sizes and places window so, on the screen it opens on.
void fitToScreen(QWidget &window, const QSize &wanted);

} // namespace corvane
