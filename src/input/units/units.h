#pragma once

// Display units of the report. Every length of a job is entered and held in millimetres; the unit
// chosen in the main window changes only how the report page and the diagrams show lengths.
// Every length shown passes through formatLength(); unitLabel() is the unit word of the column
// headers. All four functions are pure: the unit is passed in, as its index in the unit selector.

#include <QString>

namespace corvane {

enum class LengthUnit
{
    Millimetre = 0,
    DecimalInch = 1,
    FractionalInch = 2
};

// Millimetre text to decimal inches: three decimals, ties to even ("25.4" -> "1.000").
QString mmToIn(const QString &millimetres);
// Millimetre text to whole inches and the nearest sixteenth ("50" -> "1 15/16").
QString mmToFrIn(const QString &millimetres);

// A single-precision length in millimetres as text in the unit of index unit (0 mm, 1 decimal
// inch, 2 fractional inch); any other index gives the empty text.
QString formatLength(float length, int unit);
inline QString formatLength(float length, LengthUnit unit)
{
    return formatLength(length, int(unit));
}

// "mm", "in" or the empty text for an index that names no unit.
QString unitLabel(int unit);
inline QString unitLabel(LengthUnit unit)
{
    return unitLabel(int(unit));
}

} // namespace corvane
