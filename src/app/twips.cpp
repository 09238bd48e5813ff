#include "app/twips.h"

#include "ground/twips.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace corvane {

int Twips::toPixels(double twips, double dpi)
{
    return int(std::lround(twips * dpi / kTwipsPerInch));
}

void Twips::place(QWidget *widget, double left, double top, double width, double height)
{
    m_places.emplace_back(widget, QRectF(left, top, width, height));
}

namespace {

// A caption that does not fit its design rectangle in the font at hand (a stand-in for the
// design's font may run wider) is made smaller until it does, down to a size still readable.
void fitCaption(QLabel &label)
{
    static const char *const kDesignPoints = "designPoints";
    if (!label.property(kDesignPoints).isValid())
        label.setProperty(kDesignPoints, label.font().pointSizeF());
    QFont font = label.font();
    font.setPointSizeF(label.property(kDesignPoints).toDouble());
    auto fits = [&label](const QFont &f) {
        const QFontMetricsF metrics(f);
        if (!label.wordWrap())
            return metrics.horizontalAdvance(label.text()) <= label.width();
        const QRectF wrapped =
            metrics.boundingRect(QRectF(0, 0, label.width(), 1e6), Qt::TextWordWrap, label.text());
        return wrapped.width() <= label.width() && wrapped.height() <= label.height();
    };
    while (!fits(font) && font.pointSizeF() > 6.5)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    label.setFont(font);
}

} // namespace

void Twips::apply(double dpi) const
{
    // Each edge is rounded on its own, as the design's own run-time positions were.
    for (const auto &[widget, r] : m_places) {
        widget->setGeometry(toPixels(r.left(), dpi), toPixels(r.top(), dpi),
                            toPixels(r.width(), dpi), toPixels(r.height(), dpi));
        if (auto *label = qobject_cast<QLabel *>(widget))
            fitCaption(*label);
    }
}

} // namespace corvane
