#include "app/fallbackicons.h"

#include <QFont>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace corvane {

namespace {

// An icon drawn on a grid of 32 at whatever size it is asked for.
class DrawnIconEngine : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        const qreal u = qMin(rect.width(), rect.height()) / 32.0;
        painter->scale(u, u);
        draw(painter, mode == QIcon::Disabled);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }

protected:
    virtual void draw(QPainter *painter, bool disabled) const = 0;
};

class PdfIconEngine : public DrawnIconEngine
{
public:
    QIconEngine *clone() const override { return new PdfIconEngine; }

protected:
    void draw(QPainter *painter, bool disabled) const override
    {
        const QColor ink = disabled ? QColor(150, 150, 150) : QColor(60, 60, 60);
        const QColor band = disabled ? QColor(190, 190, 190) : QColor(200, 30, 30);

        // The sheet and its folded corner.
        QPainterPath sheet;
        sheet.moveTo(6, 2);
        sheet.lineTo(20, 2);
        sheet.lineTo(26, 8);
        sheet.lineTo(26, 30);
        sheet.lineTo(6, 30);
        sheet.closeSubpath();
        painter->setPen(QPen(ink, 1.2));
        painter->setBrush(Qt::white);
        painter->drawPath(sheet);
        painter->drawPolyline(QPolygonF({{20, 2}, {20, 8}, {26, 8}}));
        // Lines of text.
        painter->setPen(QPen(ink.lighter(160), 1));
        for (qreal y : {11.0, 14.0})
            painter->drawLine(QPointF(9, y), QPointF(23, y));

        // The band, marked PDF.
        painter->setPen(Qt::NoPen);
        painter->setBrush(band);
        painter->drawRect(QRectF(3, 17, 22, 9));
        QFont font;
        font.setPixelSize(8);
        font.setBold(true);
        painter->setFont(font);
        painter->setPen(Qt::white);
        painter->drawText(QRectF(3, 17, 22, 9), Qt::AlignCenter, QStringLiteral("PDF"));

        // The arrow out of the sheet.
        painter->setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawLine(QPointF(21, 21.5), QPointF(30, 21.5));
        painter->drawPolyline(QPolygonF({{27, 18.5}, {30, 21.5}, {27, 24.5}}));
    }
};

class UndoIconEngine : public DrawnIconEngine
{
public:
    explicit UndoIconEngine(bool redo) : m_redo(redo) {}
    QIconEngine *clone() const override { return new UndoIconEngine(m_redo); }

protected:
    void draw(QPainter *painter, bool disabled) const override
    {
        if (m_redo) { // the mirror image
            painter->translate(32, 0);
            painter->scale(-1, 1);
        }
        const QColor ink = disabled ? QColor(170, 170, 170) : QColor(40, 90, 160);
        // From the lower right, up and round to the left, where the head points.
        QPainterPath arc;
        arc.moveTo(26, 27);
        arc.cubicTo(30, 16, 22, 9, 12, 11);
        painter->setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(arc);
        painter->setPen(Qt::NoPen);
        painter->setBrush(ink);
        painter->drawPolygon(QPolygonF({{3, 11.5}, {13, 4}, {13, 18}}));
    }

private:
    bool m_redo;
};

} // namespace

QIcon pdfExportIcon()
{
    return QIcon(new PdfIconEngine);
}

QIcon undoIcon(bool redo)
{
    return QIcon(new UndoIconEngine(redo));
}

} // namespace corvane
