#include "diagrams/imagecanvas.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <limits>

namespace corvane {
namespace {

// The pictures are written as Qt's BMP writer writes them, rows of every width padded alike.
TEST(ImageCanvas, EncodesItsPicturesAsQtsBmpWriterDoes)
{
    for (const int width : {400, 401, 402, 403, 1}) {
        QImage image(width, 3, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, qRgb(x * 7 % 256, y * 91 % 256, (x + y) * 13 % 256));
        }
        QByteArray expected;
        QBuffer buffer(&expected);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "BMP"));
        EXPECT_EQ(encodeBmp24(image), expected) << width;
    }
}

TEST(ImageCanvas, PrintsTextBelowItsPositionAndDrawsNothingOfADegenerateScale)
{
    // The lines, dots and colours are the reference pictures' (sectiondiagram_test.cpp).
    QImage white(400, 400, QImage::Format_RGB32);
    white.fill(Qt::white);
    ImageCanvas canvas;
    canvas.setSize(6000, 6000);
    canvas.setScaleWidth(10);
    canvas.setScaleHeight(10);
    canvas.clear();
    canvas.print(QStringLiteral("X"));
    EXPECT_NE(canvas.image().copy(0, 0, 20, 20), white.copy(0, 0, 20, 20));

    canvas.setScaleWidth(0);
    canvas.setScaleHeight(0);
    canvas.clear();
    canvas.line(0, 0, 10, 10);
    canvas.filledDot(1, 1, 1);
    canvas.print(QStringLiteral("x"));
    canvas.setScaleWidth(1);
    canvas.setScaleHeight(1);
    canvas.line(0, 0.5f, 1e30f, 0.5f);
    canvas.box(0, 0, std::numeric_limits<float>::infinity(), 1);
    canvas.filledDot(std::numeric_limits<float>::quiet_NaN(), 0.5f, 0.1f);
    EXPECT_EQ(canvas.image(), white);
}

} // namespace
} // namespace corvane
