#include "app/veebox.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace corvane {

namespace {

const QColor kRed(255, 0, 0);

} // namespace

void VeeBox::setRed(bool red)
{
    if (red == m_red)
        return;
    m_red = red;
    update();
}

void VeeBox::paintEvent(QPaintEvent *event)
{
    if (!m_red) {
        QComboBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.palette.setColor(QPalette::ButtonText, Qt::black);
    option.palette.setColor(QPalette::Text, Qt::black);
    // The frame as the style draws it, then the red over everything inside it.
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const int frame = style()->pixelMetric(QStyle::PM_ComboBoxFrameWidth, &option, this);
    painter.fillRect(rect().adjusted(frame, frame, -frame, -frame), kRed);
    QStyleOption arrow = option;
    arrow.rect =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

} // namespace corvane
