#pragma once

// Display units of the report. Every length of a job is entered and held in millimetres; the unit
// chosen in the main window changes only how the report page and the diagrams show lengths.
// Every length shown passes through formatLength(); unitLabel() is the unit word of the column
// headers. All four functions are pure: the unit is passed in.

#include <QString>

namespace corvane {

// The display unit. None stands for a unit selector whose typed text names no unit: lengths and
// unit words then show as empty texts.
enum class LengthUnit
{
    None,
    Millimetre,
    DecimalInch,
    FractionalInch
};

// Millimetre text to decimal inches: three decimals, ties to even ("25.4" -> "1.000").
QString mmToIn(const QString &millimetres);
// Millimetre text to whole inches and the nearest sixteenth ("50" -> "1 15/16").
QString mmToFrIn(const QString &millimetres);

// A single-precision length in millimetres as text in the unit; no unit gives the empty text.
QString formatLength(float length, LengthUnit unit);

// "mm", "in" or the empty text for no unit.
QString unitLabel(LengthUnit unit);

// The units an operator can choose, in the order the unit selector lists them, each with its word
// on the command line ("mm", "in", "fraction") and its item in the selector ("View in mm").
struct UnitChoice
{
    LengthUnit unit;
    const char *word;
    const char *item;
};
inline constexpr UnitChoice kUnitChoices[] = {
    {LengthUnit::Millimetre, "mm", "View in mm"},
    {LengthUnit::DecimalInch, "in", "View in decimal inch"},
    {LengthUnit::FractionalInch, "fraction", "View in fractional inch"},
};
// The unit of a command-line word, or of a selector's item; None for any other text.
LengthUnit unitOfWord(const QString &word);
LengthUnit unitOfItem(const QString &item);

} // namespace corvane
