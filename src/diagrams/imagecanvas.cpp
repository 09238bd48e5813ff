#include "diagrams/imagecanvas.h"

#include "ground/designfont.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <utility>
#include <QPen>

#include <cmath>

namespace corvane {

namespace {

constexpr int kDotsPerMetre = 3780; // 96 dots per inch

// Coordinates beyond this many pixels cannot show on a picture of a few hundred pixels; they come
// from degenerate profiles (a scale of no width, lengths of no size) and are not drawn.
constexpr double kPixelLimit = 1.0e6;

bool drawable(double value)
{
    return std::isfinite(value) && std::fabs(value) < kPixelLimit;
}

} // namespace

std::optional<QPointF> ImageCanvas::toPixels(float x, float y) const
{
    const double px = toPixelX(x);
    const double py = toPixelY(y);
    if (!drawable(px) || !drawable(py))
        return std::nullopt;
    return QPointF(px, py);
}

ImageCanvas::ImageCanvas() = default;

ImageCanvas::~ImageCanvas()
{
    endPainting();
}

// One painter serves a whole drawing, from the clear to the moment the picture is read.
QPainter &ImageCanvas::painter()
{
    if (!m_painter) {
        if (m_image.isNull())
            paintClear();
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::TextAntialiasing);
    }
    return *m_painter;
}

void ImageCanvas::endPainting()
{
    m_painter.reset();
}

const QImage &ImageCanvas::image()
{
    endPainting();
    return m_image;
}

QFont ImageCanvas::qtFont(const CanvasFont &font)
{
    return designFont(font.points, font.bold);
}

QPen ImageCanvas::pen(const QColor &colour) const
{
    QPen p(colour, penWidth(), dotted() && penWidth() == 1 ? Qt::DotLine : Qt::SolidLine,
           penWidth() > 1 ? Qt::RoundCap : Qt::SquareCap);
    return p;
}

QSizeF ImageCanvas::textPixelSize(const QString &text, const CanvasFont &font) const
{
    // Measured on the image itself (or one of the same resolution before the first clear).
    static const QImage probe = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(kDotsPerMetre);
        image.setDotsPerMeterY(kDotsPerMetre);
        return image;
    }();
    const QFontMetricsF metrics(qtFont(font), m_image.isNull() ? &probe : &m_image);
    return {metrics.horizontalAdvance(text), metrics.height()};
}

void ImageCanvas::paintClear()
{
    endPainting();
    const QSize size(qMax(1, pixelWidth()), qMax(1, pixelHeight()));
    if (m_image.size() != size) {
        std::swap(m_image, m_spare);
        if (m_image.size() != size) {
            m_image = QImage(size, QImage::Format_RGB32);
            m_image.setDotsPerMeterX(kDotsPerMetre);
            m_image.setDotsPerMeterY(kDotsPerMetre);
        }
    }
    m_image.fill(background());
}

void ImageCanvas::paintLine(float x1, float y1, float x2, float y2, const QColor &colour)
{
    const auto from = toPixels(x1, y1);
    const auto to = toPixels(x2, y2);
    if (!from || !to)
        return;
    QPainter &p = painter();
    p.setRenderHint(QPainter::Antialiasing, penWidth() > 1);
    p.setPen(pen(colour));
    p.drawLine(*from, *to);
}

void ImageCanvas::paintBox(float x1, float y1, float x2, float y2)
{
    const auto from = toPixels(x1, y1);
    const auto to = toPixels(x2, y2);
    if (!from || !to)
        return;
    QPainter &p = painter();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(pen(foreground()));
    p.setBrush(Qt::NoBrush);
    if (from->x() == to->x() || from->y() == to->y())
        p.drawLine(*from, *to);
    else
        p.drawRect(QRectF(*from, *to).normalized());
}

void ImageCanvas::paintPoint(float x, float y)
{
    const auto at = toPixels(x, y);
    if (!at)
        return;
    QPainter &p = painter();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(pen(foreground()));
    p.drawPoint(*at);
}

void ImageCanvas::paintDot(float x, float y, float radius)
{
    const auto centre = toPixels(x, y);
    const double r = std::fabs(toPixelLength(radius));
    if (!centre || !drawable(r))
        return;
    QPainter &p = painter();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(foreground(), 1));
    p.setBrush(foreground());
    p.drawEllipse(*centre, r, r);
    p.setBrush(Qt::NoBrush);
}

void ImageCanvas::paintText(float x, float y, const QString &text)
{
    const auto at = toPixels(x, y);
    if (!at)
        return;
    QPainter &p = painter();
    p.setFont(qtFont(font()));
    p.setPen(foreground());
    const QFontMetricsF metrics(p.font(), &m_image);
    p.drawText(*at + QPointF(0, metrics.ascent()), text);
}

QByteArray ImageCanvas::encodeBitmap()
{
    endPainting();
    return encodeBmp24(m_image);
}

QByteArray encodeBmp24(const QImage &picture)
{
    // The layout Qt's BMP writer gives an RGB32 picture: a 14-byte file header, a 40-byte
    // BITMAPINFOHEADER, then the rows bottom up, blue, green, red, each padded with zeros to four
    // bytes. Written here in one buffer of the final size, which is several times quicker.
    const QImage image = picture.format() == QImage::Format_RGB32
                             ? picture
                             : picture.convertToFormat(QImage::Format_RGB32);
    const qsizetype width = image.width();
    const qsizetype height = image.height();
    const qsizetype rowBytes = (width * 3 + 3) / 4 * 4;
    constexpr qsizetype kHeaderBytes = 14 + 40;
    QByteArray bytes(kHeaderBytes + rowBytes * height, Qt::Uninitialized);
    uchar *out = reinterpret_cast<uchar *>(bytes.data());
    const auto put16 = [&out](quint16 value) {
        *out++ = uchar(value);
        *out++ = uchar(value >> 8);
    };
    const auto put32 = [&put16](quint32 value) {
        put16(quint16(value));
        put16(quint16(value >> 16));
    };
    *out++ = 'B';
    *out++ = 'M';
    put32(quint32(bytes.size()));
    put32(0);
    put32(quint32(kHeaderBytes));
    put32(40);
    put32(quint32(width));
    put32(quint32(height));
    put16(1);
    put16(24);
    put32(0);
    put32(quint32(rowBytes * height));
    put32(quint32(image.dotsPerMeterX()));
    put32(quint32(image.dotsPerMeterY()));
    put32(0);
    put32(0);
    // Four pixels at a time become three words of blue, green and red: a quarter of the stores of
    // byte by byte, on the biggest part of writing a picture.
    const auto bgr = [](QRgb p) {
        return quint32(p) & 0xFFFFFFu;
    };
    for (qsizetype y = height - 1; y >= 0; --y) {
        const QRgb *pixel = reinterpret_cast<const QRgb *>(image.constScanLine(int(y)));
        uchar *row = out;
        qsizetype x = 0;
        for (; x + 4 <= width; x += 4, row += 12) {
            const quint32 p0 = bgr(pixel[x]), p1 = bgr(pixel[x + 1]);
            const quint32 p2 = bgr(pixel[x + 2]), p3 = bgr(pixel[x + 3]);
            qToLittleEndian<quint32>(p0 | p1 << 24, row);
            qToLittleEndian<quint32>(p1 >> 8 | p2 << 16, row + 4);
            qToLittleEndian<quint32>(p2 >> 16 | p3 << 8, row + 8);
        }
        for (; x < width; ++x) {
            *row++ = uchar(qBlue(pixel[x]));
            *row++ = uchar(qGreen(pixel[x]));
            *row++ = uchar(qRed(pixel[x]));
        }
        std::fill(row, out + rowBytes, uchar(0)); // the row's padding
        out += rowBytes;
    }
    return bytes;
}

} // namespace corvane
