#pragma once

// The drawing canvas of the section and marking diagrams.
//
// A canvas has an outer size in twips (15 twips to a pixel, 96 dots per inch) and a user scale:
// the user coordinates (left, top, width, height) of its drawing area, x to the right and y
// downward. Coordinates, the scale and the current position are held as singles, like the working
// values of the diagrams that set them. Lines, boxes, points and dots are drawn in user units; text
// is printed with its top-left corner at the current position and measured in user units with the
// font it is printed in. The font stays as the last drawing left it: the next drawing measures its
// label margin (addLabelMargin) in it before it sets its own.
//
// Canvas keeps that state and the mapping; a subclass draws. ImageCanvas paints a QImage and saves
// it as a Windows bitmap; tests record the calls instead.

#include "ground/twips.h"

#include <QByteArray>
#include <QColor>
#include <QSizeF>
#include <QString>

#include <optional>

namespace corvane {

// The size and weight of the diagrams' font (ground/designfont.h).
struct CanvasFont
{
    // A new canvas starts in 8.25 pt regular, the font of the input windows.
    double points = 8.25;
    bool bold = false;
};

class Canvas
{
public:
    virtual ~Canvas() = default;

    void setSize(int widthTwips, int heightTwips);
    int pixelWidth() const { return m_pixelWidth; }
    int pixelHeight() const { return m_pixelHeight; }

    float scaleLeft() const { return m_left; }
    float scaleTop() const { return m_top; }
    float scaleWidth() const { return m_width; }
    float scaleHeight() const { return m_height; }
    void setScaleLeft(float left) { m_left = left; }
    void setScaleTop(float top) { m_top = top; }
    void setScaleWidth(float width) { m_width = width; }
    void setScaleHeight(float height) { m_height = height; }

    float currentX() const { return m_x; }
    float currentY() const { return m_y; }
    void setCurrentX(float x) { m_x = x; }
    void setCurrentY(float y) { m_y = y; }

    void setPenWidth(int pixels) { m_penWidth = pixels; }
    int penWidth() const { return m_penWidth; }
    void setDotted(bool dotted) { m_dotted = dotted; }
    bool dotted() const { return m_dotted; }
    void setFont(const CanvasFont &font) { m_font = font; }
    const CanvasFont &font() const { return m_font; }

    // Fills the picture with the background and puts the current position at (0, 0).
    void clear();
    // The current position ends at the segment's second point.
    void line(float x1, float y1, float x2, float y2, std::optional<QColor> colour = {});
    void relativeLine(float dx, float dy, std::optional<QColor> colour = {});
    // The outline of an axis-parallel rectangle; the current position ends at the second corner.
    void box(float x1, float y1, float x2, float y2);
    void point(float x, float y);
    void filledDot(float x, float y, float radius);
    void print(const QString &text);

    // Width and line height of a text in user units, in the current font.
    float textWidth(const QString &text) const;
    float textHeight(const QString &text) const;

    // Widens the user scale by the diagrams' label margin on the left and on the right, and
    // returns it: the width of "XXXXXX" in the current font, the one the previous drawing left.
    float addLabelMargin();

    // Pixel position of a point in user units.
    double toPixelX(double x) const;
    double toPixelY(double y) const;
    // A length in horizontal user units, in pixels.
    double toPixelLength(double length) const;

    // The picture as the bytes of a Windows bitmap file; empty for a canvas that keeps no picture.
    virtual QByteArray encodeBitmap() { return {}; }

    QColor foreground() const { return Qt::black; }
    QColor background() const { return Qt::white; }

protected:
    // Size of a text in pixels in the given font.
    virtual QSizeF textPixelSize(const QString &text, const CanvasFont &font) const = 0;
    virtual void paintClear() = 0;
    // Coordinates in user units; pen width, line style and font are those of the canvas.
    virtual void paintLine(float x1, float y1, float x2, float y2, const QColor &colour) = 0;
    virtual void paintBox(float x1, float y1, float x2, float y2) = 0;
    virtual void paintPoint(float x, float y) = 0;
    virtual void paintDot(float x, float y, float radius) = 0;
    virtual void paintText(float x, float y, const QString &text) = 0;

private:
    int m_pixelWidth = 0;
    int m_pixelHeight = 0;
    float m_left = 0.0f;
    float m_top = 0.0f;
    float m_width = 1.0f;
    float m_height = 1.0f;
    float m_x = 0.0f;
    float m_y = 0.0f;
    int m_penWidth = 1;
    bool m_dotted = false;
    CanvasFont m_font;
};

} // namespace corvane
