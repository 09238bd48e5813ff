#pragma once

#include <QRectF>

#include <utility>
#include <vector>

class QWidget;

namespace corvane {

// The layout of an input window in twips, the unit its design is drawn in (ground/twips.h). The
// window places each control at its design
// rectangle once and applies the layout again for the dots per inch of the screen it is on, so
// that the controls grow with the fonts when the desktop is scaled.
class Twips
{
public:
    static int toPixels(double twips, double dpi);

    // Remembers the design rectangle of widget; it takes effect at the next apply().
    void place(QWidget *widget, double left, double top, double width, double height);
    // Gives every placed widget its geometry at dpi.
    void apply(double dpi) const;

private:
    std::vector<std::pair<QWidget *, QRectF>> m_places;
};

} // namespace corvane
