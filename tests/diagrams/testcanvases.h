#pragma once

// The diagrams' test canvas: the real painter, each text drawn as the outline of its box measured
// with fixed metrics, so that no font installed matters. Its pictures are compared pixel for pixel
// with tests/diagrams/data; the texts, which they do not show, are kept with their tops.

#include "diagrams/imagecanvas.h"

#include <QDir>
#include <QImage>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace corvane::test {

class BoxTextCanvas : public ImageCanvas
{
public:
    QStringList printed;
    std::vector<float> printedAt; // in user units

protected:
    // Every character as wide as 0.7 of the point size, a line 1.6 times the point size high,
    // bold 10 % wider.
    QSizeF textPixelSize(const QString &text, const CanvasFont &font) const override
    {
        return {text.size() * font.points * 0.7 * (font.bold ? 1.1 : 1.0), font.points * 1.6};
    }
    void paintText(float x, float y, const QString &text) override
    {
        printed << text;
        printedAt.push_back(y);
        const int pen = penWidth();
        setPenWidth(1);
        paintBox(x, y, float(double(x) + textWidth(text)), float(double(y) + textHeight(text)));
        setPenWidth(pen);
    }
};

// Whether the canvas shows the reference picture of that name; one that differs is saved in temp.
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
