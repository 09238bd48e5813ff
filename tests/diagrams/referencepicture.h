#pragma once

// Diagrams drawn by the real painter and compared pixel for pixel with reference pictures kept in
// tests/diagrams/data. Only the text depends on the fonts a machine has installed, so this canvas
// measures text as the recording canvas does and draws each text as the outline of the box it
// takes: the pictures show every line, arrowhead and dot as drawn, and where each label goes and
// how large it is, on any machine.

#include "diagrams/imagecanvas.h"
#include "diagrams/recordingcanvas.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

namespace corvane::test {

class BoxTextCanvas : public ImageCanvas
{
protected:
    QSizeF textPixelSize(const QString &text, const CanvasFont &font) const override
    {
        return RecordingCanvas::metrics(text, font);
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
    const QImage expected = QImage(path).convertToFormat(QImage::Format_RGB32);
    const QImage drawn = canvas.image().convertToFormat(QImage::Format_RGB32);
    if (drawn == expected)
        return testing::AssertionSuccess();
    int differing = 0;
    for (int y = 0; y < drawn.height() && drawn.size() == expected.size(); ++y) {
        for (int x = 0; x < drawn.width(); ++x)
            differing += drawn.pixel(x, y) != expected.pixel(x, y);
    }
    const QString saved = QDir::temp().filePath(name + QStringLiteral("-drawn.png"));
    drawn.save(saved);
    return testing::AssertionFailure()
           << saved.toStdString() << " is not " << path.toStdString() << ": "
           << (drawn.size() == expected.size() ? std::to_string(differing) + " pixels differ"
                                               : std::string("the sizes differ"));
}

} // namespace corvane::test
