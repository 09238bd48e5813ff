#pragma once

// A canvas that records what is drawn, in user units, with simple fixed text metrics, so that the
// geometry of a diagram can be checked without pixels.

#include "diagrams/canvas.h"

#include <array>
#include <vector>

namespace corvane::test {

struct DrawnItem
{
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0; // a dot's radius is x2
    QString text;
    QColor colour;
    int penWidth = 0;
    bool dotted = false;

    std::array<float, 4> ends() const { return {x1, y1, x2, y2}; }
};

class RecordingCanvas : public Canvas
{
public:
    int clears = 0;
    std::vector<DrawnItem> lines, boxes, points, dots, texts;

    // Text metrics in pixels: every character as wide as 0.7 of the point size, a line 1.6 times
    // the point size high, bold 10 % wider.
    static QSizeF metrics(const QString &text, double points, bool bold)
    {
        return {text.size() * points * 0.7 * (bold ? 1.1 : 1.0), points * 1.6};
    }

protected:
    QSizeF textPixelSize(const QString &text, double points, bool bold) const override
    {
        return metrics(text, points, bold);
    }
    void paintClear() override { ++clears; }
    void paintLine(float x1, float y1, float x2, float y2, const QColor &colour) override
    {
        lines.push_back(item(x1, y1, x2, y2, colour));
    }
    void paintBox(float x1, float y1, float x2, float y2) override
    {
        boxes.push_back(item(x1, y1, x2, y2));
    }
    void paintPoint(float x, float y) override { points.push_back(item(x, y)); }
    void paintDot(float x, float y, float radius) override { dots.push_back(item(x, y, radius)); }
    void paintText(float x, float y, const QString &text) override
    {
        texts.push_back(item(x, y, 0, 0, {}, text));
    }

private:
    DrawnItem item(float x1, float y1, float x2 = 0, float y2 = 0, const QColor &colour = {},
                   const QString &text = {}) const
    {
        return {x1, y1, x2, y2, text, colour, penWidth(), dotted()};
    }
};

} // namespace corvane::test
