#pragma once

// The number rules that every part of Corvane shares.
//
// Every field of a job is held as the text the operator typed; it becomes a number only where it
// is used, through readNumber(). Numbers of the calculation are single precision (float) when
// stored, with the arithmetic between stores done in double. Numbers go back to text through
// singleText() (7 significant digits) or doubleText() (15), and shown lengths are first rounded
// to two decimals, half to even, by roundHalfEven2().

#include <QString>
#include <QStringView>

#include <optional>

namespace corvane {

// pi as the calculation and the diagrams hold it: 3.14159 in single precision, not the full value.
inline constexpr float kPi = 3.14159f;

// The numeric reading rule: blanks, tabs and line feeds are ignored wherever they stand; then an
// optional sign, digits, an optional "." with digits and an optional exponent are read up to the
// first other character. A text without a leading number reads as 0, and so does a number too
// large for a double.
double readNumber(QStringView text);

// readNumber() stored as a single. A number too large for a single reads as 0, like one too large
// for a double: an operator's typo must not turn into an infinite length.
float readSingle(QStringView text);

// How a field's text reads, for telling the operator where it is not read as it shows.
struct NumberReading
{
    enum class Range
    {
        Fits,     // a single holds the number (or the text has none)
        TooLarge, // past the largest single, or past a double's range: read as 0
        TooSmall  // not 0, yet so small that a single holds it as 0
    };
    double value = 0.0; // as readNumber() reads it
    // Nothing follows the number but blanks; a blank text is whole, a text without a number not.
    bool whole = true;
    Range range = Range::Fits;
};
NumberReading readNumberText(QStringView text);

// What the operator is told of a text that is not read as it shows ("read as 1" for "1,5",
// "read as 0" for "abc", "too large to compute with: read as 0" for "1e100"); empty for a text
// that reads as it shows, a blank one included.
QString readingNote(QStringView text);

// A number given on its own, as a command-line value or a box of the test bend is: the whole text,
// blanks aside, is a number that a single holds. None when it is not, and problem then says why
// ("is no number", "is too large to compute with").
std::optional<float> wholeSingle(QStringView text, QString *problem = nullptr);

// The general number text: the shortest decimal text with at most 7 (single) or 15 (double)
// significant digits, no trailing zeros, no point for a whole number, "." as decimal separator.
// Very large and very small magnitudes use an exponent ("1E-05", "1.234568E+07").
QString singleText(float value);
QString doubleText(double value);

// Rounds a single to 2 decimals, an exact tie going to the even neighbour (0.125 -> 0.12,
// 0.375 -> 0.38). The tie is judged on the value as held, not on its decimal text.
float roundHalfEven2(float value);

// The key filter of the free-text boxes: the codes of the apostrophe and of the double quote
// become 0 (the key is dropped); every other code is returned unchanged.
int filterQuoteKey(int keyCode);

// Drops every apostrophe and double quote from a text. The job file writes texts between double
// quotes without escaping, so no text of a job may hold one, however it was entered. A NUL goes
// too: the reader takes a file that holds one for binary data, and the job could not be opened.
QString withoutQuotes(QString text);

// Every line break of a text, whether CR LF, a lone LF (files edited on Linux) or a lone CR, as
// CR LF: the one form the job file writes and the report page breaks lines at.
QString withCrLfLineBreaks(const QString &text);

// The text with every control character written out ("\n", "\r", "\t", else "\xHH"), so that
// a file name or a typed text quoted in a message keeps it on one line.
QString oneLine(const QString &text);

} // namespace corvane
