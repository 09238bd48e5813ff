#pragma once

// Canvases for the diagrams' tests. Both measure text with simple fixed metrics, so that nothing
// depends on the fonts a machine has installed. The recording canvas keeps what is drawn, in user
// units, for what a diagram says about its lines and labels. The box-text canvas is the real
// painter, with each text drawn as the outline of the box it takes; its pictures are compared
// pixel for pixel with the reference pictures in tests/diagrams/data.

#include "diagrams/imagecanvas.h"

#include <QDir>
#include <QImage>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace corvane::test {

// Text metrics in pixels: every character as wide as 0.7 of the point size, a line 1.6 times the
// point size high, bold 10 % wider.
inline QSizeF fixedMetrics(const QString &text, const CanvasFont &font)
{
    return {text.size() * font.points * 0.7 * (font.bold ? 1.1 : 1.0), font.points * 1.6};
}

struct DrawnItem
{
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    QString text;
    bool dotted = false;
};

class RecordingCanvas : public Canvas
{
public:
    int clears = 0;
    std::vector<DrawnItem> lines, boxes, texts;
    QStringList printed; // the texts alone

protected:
    QSizeF textPixelSize(const QString &text, const CanvasFont &font) const override
    {
        return fixedMetrics(text, font);
    }
    void paintClear() override { ++clears; }
    void paintLine(float x1, float y1, float x2, float y2, const QColor &) override
    {
        lines.push_back({x1, y1, x2, y2, {}, dotted()});
    }
    void paintBox(float x1, float y1, float x2, float y2) override
    {
        boxes.push_back({x1, y1, x2, y2, {}, dotted()});
    }
    void paintPoint(float, float) override {}
    void paintDot(float, float, float) override {}
    void paintText(float x, float y, const QString &text) override
    {
        texts.push_back({x, y, 0, 0, text, dotted()});
        printed << text;
    }
};

class BoxTextCanvas : public ImageCanvas
{
protected:
    QSizeF textPixelSize(const QString &text, const CanvasFont &font) const override
    {
        return fixedMetrics(text, font);
    }
    void paintText(float x, float y, const QString &text) override
    {
        const int pen = penWidth();
        setPenWidth(1);
        paintBox(x, y, float(double(x) + textWidth(text)), float(double(y) + textHeight(text)));
        setPenWidth(pen);
    }
};

// Whether the canvas shows the reference picture of that name. A picture that differs is saved in
// the temp folder, and the message names it.
inline testing::AssertionResult isReferencePicture(ImageCanvas &canvas, const QString &name)
{
    const QString path = QStringLiteral(CORVANE_SOURCE_DIR "/tests/diagrams/data/%1.png").arg(name);
    const QImage drawn = canvas.image().convertToFormat(QImage::Format_RGB32);
    if (drawn == QImage(path).convertToFormat(QImage::Format_RGB32))
        return testing::AssertionSuccess();
    const QString saved = QDir::temp().filePath(name + QStringLiteral("-drawn.png"));
    drawn.save(saved);
    return testing::AssertionFailure() << "the picture drawn, saved as " << saved.toStdString()
                                       << ", is not " << path.toStdString();
}

} // namespace corvane::test
