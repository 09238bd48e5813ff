#include "input/twips.h"

#include <QWidget>

#include <cmath>

namespace corvane {

int Twips::toPixels(double twips, double dpi)
{
    return int(std::lround(twips * dpi / 1440.0));
}

void Twips::place(QWidget *widget, double left, double top, double width, double height)
{
    m_places.emplace_back(widget, QRectF(left, top, width, height));
}

void Twips::apply(double dpi) const
{
    // Each edge is rounded on its own, as the design's own run-time positions were.
    for (const auto &[widget, r] : m_places) {
        widget->setGeometry(toPixels(r.left(), dpi), toPixels(r.top(), dpi),
                            toPixels(r.width(), dpi), toPixels(r.height(), dpi));
    }
}

} // namespace corvane
