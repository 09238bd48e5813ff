#include "ground/designfont.h"

#include <QStringList>

namespace corvane {

QFont designFont(double points, bool bold)
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("Trebuchet MS"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                    QStringLiteral("Helvetica")});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace corvane
