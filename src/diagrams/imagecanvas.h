#pragma once

#include "diagrams/canvas.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <memory>
#include <optional>

namespace corvane {

// A canvas that paints a QImage at 96 dots per inch and saves it as a Windows bitmap. Text is
// measured with the same font on the same device it is printed on, so labels sit where the
// diagrams place them. The diagrams' font is Trebuchet MS; where it is not installed, the stand-in
// of ground/designfont.h is used and measured.
class ImageCanvas : public Canvas
{
public:
    ImageCanvas();
    ~ImageCanvas() override;

    // The picture as drawn so far.
    const QImage &image();
    QByteArray encodeBitmap() override;

protected:
    QSizeF textPixelSize(const QString &text, const CanvasFont &font) const override;
    void paintClear() override;
    void paintLine(float x1, float y1, float x2, float y2, const QColor &colour) override;
    void paintBox(float x1, float y1, float x2, float y2) override;
    void paintPoint(float x, float y) override;
    void paintDot(float x, float y, float radius) override;
    void paintText(float x, float y, const QString &text) override;

private:
    static QFont qtFont(const CanvasFont &font);
    QPen pen(const QColor &colour) const;
    QPainter &painter();
    // The point in pixels, or nothing when it cannot be drawn.
    std::optional<QPointF> toPixels(float x, float y) const;
    void endPainting();

    QImage m_image;
    // The picture of the other size: a section's canvas draws the section diagram and the marking
    // diagram in turn, and keeping both spares a new picture (and its memory) every drawing.
    QImage m_spare;
    std::unique_ptr<QPainter> m_painter;
};

// A picture as a 24-bit BMP file, byte for byte as Qt's BMP writer writes it.
QByteArray encodeBmp24(const QImage &picture);

} // namespace corvane
