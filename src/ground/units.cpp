#include "ground/units.h"

#include "ground/numbers.h"

#include <cmath>

namespace corvane {

namespace {

constexpr double kMillimetresPerInch = 25.4;

} // namespace

QString mmToIn(const QString &millimetres)
{
    if (millimetres.isEmpty())
        return {};
    const double inches = readNumber(millimetres) / kMillimetresPerInch;
    // nearbyint rounds ties to even in the default rounding mode.
    double thousandths = std::nearbyint(inches * 1000.0);
    if (thousandths == 0)
        thousandths = 0; // no "-0.000"
    return QString::number(thousandths / 1000.0, 'f', 3);
}

QString mmToFrIn(const QString &millimetres)
{
    if (millimetres.isEmpty())
        return {};
    const double x = readNumber(millimetres);
    const float v = float(x / kMillimetresPerInch);
    // The fraction is chosen for the magnitude; the sign goes in front of the whole text, so a
    // negative length reads like its positive twin (-63.5 mm is -2 1/2).
    const QString sign = v < 0 ? QStringLiteral("-") : QString();
    const float magnitude = std::fabs(v);
    const float whole = std::trunc(magnitude);
    const float remainder = std::fabs(magnitude - whole);

    QString text;
    if (remainder == 0) {
        text = singleText(whole);
    } else {
        // The first candidate in this order wins every tie, so the fraction is in lowest terms
        // and a remainder halfway between two sixteenths goes to the coarser one.
        float bestError = 1.0f;
        int bestNumerator = 0;
        int bestDenominator = 1;
        for (int n = 1; n <= 16; ++n) {
            for (int d = 2; d <= 16; d *= 2) {
                const float error = float(std::fabs(double(remainder) - double(n) / d));
                if (error < bestError) {
                    bestError = error;
                    bestNumerator = n;
                    bestDenominator = d;
                }
            }
        }
        if (bestNumerator % bestDenominator == 0)
            text = singleText(float(double(whole) + bestNumerator / bestDenominator));
        else
            text = singleText(whole) +
                   QStringLiteral(" %1/%2").arg(bestNumerator).arg(bestDenominator);
    }
    if (text.startsWith(QStringLiteral("0 ")))
        text.remove(0, 2);
    if (text == QStringLiteral("0"))
        return text;
    return sign + text;
}

QString formatLength(float length, LengthUnit unit)
{
    switch (unit) {
    case LengthUnit::Millimetre:
        return singleText(length);
    case LengthUnit::DecimalInch:
        return mmToIn(singleText(length));
    case LengthUnit::FractionalInch:
        return mmToFrIn(singleText(length));
    case LengthUnit::None:
        break;
    }
    return {};
}

QString unitLabel(LengthUnit unit)
{
    switch (unit) {
    case LengthUnit::Millimetre:
        return QStringLiteral("mm");
    case LengthUnit::DecimalInch:
    case LengthUnit::FractionalInch:
        return QStringLiteral("in");
    case LengthUnit::None:
        break;
    }
    return {};
}

LengthUnit unitOfWord(const QString &word)
{
    for (const UnitChoice &choice : kUnitChoices) {
        if (word == QLatin1String(choice.word))
            return choice.unit;
    }
    return LengthUnit::None;
}

LengthUnit unitOfItem(const QString &item)
{
    for (const UnitChoice &choice : kUnitChoices) {
        if (item == QLatin1String(choice.item))
            return choice.unit;
    }
    return LengthUnit::None;
}

} // namespace corvane
