#include "diagrams/canvas.h"

namespace corvane {

void Canvas::setSize(int widthTwips, int heightTwips)
{
    m_pixelWidth = widthTwips / kTwipsPerPixel;
    m_pixelHeight = heightTwips / kTwipsPerPixel;
}

double Canvas::toPixelX(double x) const
{
    return (x - double(m_left)) * m_pixelWidth / double(m_width);
}

double Canvas::toPixelY(double y) const
{
    return (y - double(m_top)) * m_pixelHeight / double(m_height);
}

double Canvas::toPixelLength(double length) const
{
    return length * m_pixelWidth / double(m_width);
}

void Canvas::clear()
{
    m_x = 0.0f;
    m_y = 0.0f;
    paintClear();
}

void Canvas::line(float x1, float y1, float x2, float y2, std::optional<QColor> colour)
{
    paintLine(x1, y1, x2, y2, colour.value_or(foreground()));
    m_x = x2;
    m_y = y2;
}

void Canvas::relativeLine(float dx, float dy, std::optional<QColor> colour)
{
    line(m_x, m_y, float(double(m_x) + dx), float(double(m_y) + dy), colour);
}

void Canvas::box(float x1, float y1, float x2, float y2)
{
    paintBox(x1, y1, x2, y2);
    m_x = x2;
    m_y = y2;
}

void Canvas::point(float x, float y)
{
    paintPoint(x, y);
    m_x = x;
    m_y = y;
}

void Canvas::filledDot(float x, float y, float radius)
{
    paintDot(x, y, radius);
}

void Canvas::print(const QString &text)
{
    paintText(m_x, m_y, text);
}

float Canvas::textWidth(const QString &text) const
{
    if (m_pixelWidth == 0)
        return 0.0f;
    const double pixels = textPixelSize(text, m_font).width();
    return float(pixels * double(m_width) / m_pixelWidth);
}

float Canvas::textHeight(const QString &text) const
{
    if (m_pixelHeight == 0)
        return 0.0f;
    const double pixels = textPixelSize(text, m_font).height();
    return float(pixels * double(m_height) / m_pixelHeight);
}

float Canvas::addLabelMargin()
{
    const float margin = textWidth(QStringLiteral("XXXXXX"));
    m_left = float(double(m_left) - margin);
    m_width = float(2.0 * margin + m_width);
    return margin;
}

} // namespace corvane
