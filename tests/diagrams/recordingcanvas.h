#pragma once

// A canvas that records what is drawn, in user units, with simple fixed text metrics, so that the
// geometry of a diagram can be checked without pixels.

#include "diagrams/canvas.h"

#include <QString>

#include <vector>

namespace corvane::test {

struct DrawnItem
{
    enum class Kind
    {
        Clear,
        Line,
        Box,
        Point,
        Dot,
        Text
    };
    Kind kind = Kind::Clear;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0; // a dot's radius is x2
    QString text;
    QColor colour;
    int penWidth = 0;
    bool dotted = false;
    double fontSize = 0;
    bool bold = false;
};

class RecordingCanvas : public Canvas
{
public:
    std::vector<DrawnItem> items;

    std::vector<DrawnItem> ofKind(DrawnItem::Kind kind) const
    {
        std::vector<DrawnItem> out;
        for (const DrawnItem &item : items) {
            if (item.kind == kind)
                out.push_back(item);
        }
        return out;
    }
    std::vector<DrawnItem> texts() const { return ofKind(DrawnItem::Kind::Text); }

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
    void paintClear() override { add(DrawnItem::Kind::Clear); }
    void paintLine(float x1, float y1, float x2, float y2, const QColor &colour) override
    {
        add(DrawnItem::Kind::Line, x1, y1, x2, y2, {}, colour);
    }
    void paintBox(float x1, float y1, float x2, float y2) override
    {
        add(DrawnItem::Kind::Box, x1, y1, x2, y2);
    }
    void paintPoint(float x, float y) override { add(DrawnItem::Kind::Point, x, y); }
    void paintDot(float x, float y, float radius) override
    {
        add(DrawnItem::Kind::Dot, x, y, radius);
    }
    void paintText(float x, float y, const QString &text) override
    {
        add(DrawnItem::Kind::Text, x, y, 0, 0, text);
    }

private:
    void add(DrawnItem::Kind kind, float x1 = 0, float y1 = 0, float x2 = 0, float y2 = 0,
             const QString &text = {}, const QColor &colour = {})
    {
        DrawnItem item;
        item.kind = kind;
        item.x1 = x1;
        item.y1 = y1;
        item.x2 = x2;
        item.y2 = y2;
        item.text = text;
        item.colour = colour;
        item.penWidth = penWidth();
        item.dotted = dotted();
        item.fontSize = fontSize();
        item.bold = bold();
        items.push_back(item);
    }
};

} // namespace corvane::test
