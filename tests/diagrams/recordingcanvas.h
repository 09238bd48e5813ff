#pragma once

// A canvas that records what is drawn, in user units, with simple fixed text metrics, so that what
// a diagram says about its lines and labels can be checked without pixels.

#include "diagrams/canvas.h"

#include <QStringList>

#include <vector>

namespace corvane::test {

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

    // Text metrics in pixels: every character as wide as 0.7 of the point size, a line 1.6 times
    // the point size high, bold 10 % wider.
    static QSizeF metrics(const QString &text, const CanvasFont &font)
    {
        return {text.size() * font.points * 0.7 * (font.bold ? 1.1 : 1.0), font.points * 1.6};
    }

protected:
    QSizeF textPixelSize(const QString &text, const CanvasFont &font) const override
    {
        return metrics(text, font);
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

} // namespace corvane::test
