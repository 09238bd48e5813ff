#include "ground/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace corvane {

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The leading number of a text as a plain ASCII string that std::from_chars reads (blanks, tabs
// and line feeds skipped wherever they stand), and where in the text it ends.
struct LeadingNumber
{
    std::string number;   // empty when the text has no leading number
    qsizetype end = 0;    // the index after the number's last character
    bool nonZero = false; // a digit other than 0 before the exponent
};

LeadingNumber leadingNumber(QStringView text)
{
    enum class State
    {
        Sign,
        Integer,
        Fraction,
        ExponentStart,
        ExponentSigned,
        Exponent
    };
    LeadingNumber found;
    std::string &out = found.number;
    State state = State::Sign;
    bool mantissaDigits = false;
    std::string::size_type beforeExponent = 0;
    qsizetype endBeforeExponent = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        const bool sign = c == u'-' || c == u'+';
        if (isDigit(c)) {
            if (state == State::Sign)
                state = State::Integer;
            else if (state == State::ExponentStart || state == State::ExponentSigned)
                state = State::Exponent;
            if (state != State::Exponent) {
                mantissaDigits = true;
                found.nonZero = found.nonZero || c != u'0';
            }
            out.push_back(char(c));
        } else if (sign && state == State::Sign) {
            if (c == u'-')
                out.push_back('-');
            state = State::Integer;
        } else if (c == u'.' && (state == State::Sign || state == State::Integer)) {
            out.push_back('.');
            state = State::Fraction;
        } else if ((c == u'e' || c == u'E') && mantissaDigits &&
                   (state == State::Integer || state == State::Fraction)) {
            beforeExponent = out.size();
            endBeforeExponent = found.end;
            out.push_back('e');
            state = State::ExponentStart;
        } else if (sign && state == State::ExponentStart) {
            out.push_back(char(c));
            state = State::ExponentSigned;
        } else {
            break;
        }
        found.end = i + 1;
    }
    if (!mantissaDigits)
        return {};
    // An exponent without digits ("1e", "1e-") does not belong to the number.
    if (state == State::ExponentStart || state == State::ExponentSigned) {
        out.resize(beforeExponent);
        found.end = endBeforeExponent;
    }
    return found;
}

// The number's value, or none when a double cannot hold it.
std::optional<double> valueOf(const std::string &number)
{
    if (number.empty())
        return 0.0;
    // from_chars takes no "+" and reads "-" itself.
    double value = 0.0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Whether a non-zero number that a double cannot hold lies beyond its largest value rather than
// below its smallest: the power of ten of its first significant digit tells.
bool beyondLargest(const std::string &number)
{
    const std::string::size_type e = number.find('e');
    long long exponent = 0;
    if (e != std::string::npos) {
        const bool negative = e + 1 < number.size() && number[e + 1] == '-';
        for (std::string::size_type i = e + 1; i < number.size(); ++i) {
            if (number[i] >= '0' && number[i] <= '9')
                exponent = std::min(exponent * 10 + (number[i] - '0'), 1'000'000'000LL);
        }
        exponent = negative ? -exponent : exponent;
    }
    const std::string mantissa = number.substr(0, e);
    const std::string::size_type point = std::min(mantissa.find('.'), mantissa.size());
    const std::string::size_type first = mantissa.find_first_of("123456789");
    const long long power =
        first < point ? (long long)(point - first) - 1 : -(long long)(first - point);
    return power + exponent > 0;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

template<typename Float> QString generalText(Float value, int digits)
{
    if (value == 0)
        return QStringLiteral("0");
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    QString text = QString::fromLatin1(buf, int(res.ptr - buf));
    return text.replace(u'e', u'E');
}

} // namespace

double readNumber(QStringView text)
{
    return valueOf(leadingNumber(text).number).value_or(0.0);
}

float readSingle(QStringView text)
{
    const double value = readNumber(text);
    if (std::fabs(value) > double(std::numeric_limits<float>::max()))
        return 0.0f;
    return float(value);
}

NumberReading readNumberText(QStringView text)
{
    const LeadingNumber found = leadingNumber(text);
    NumberReading reading;
    const std::optional<double> value = valueOf(found.number);
    reading.value = value.value_or(0.0);
    for (qsizetype i = found.end; i < text.size() && reading.whole; ++i)
        reading.whole = isBlank(text[i]);
    if (found.nonZero) {
        if (value ? std::fabs(*value) > double(std::numeric_limits<float>::max())
                  : beyondLargest(found.number))
            reading.range = NumberReading::Range::TooLarge;
        else if (!value || float(*value) == 0.0f)
            reading.range = NumberReading::Range::TooSmall;
    }
    return reading;
}

QString readingNote(QStringView text)
{
    const NumberReading reading = readNumberText(text);
    switch (reading.range) {
    case NumberReading::Range::TooLarge:
        return QStringLiteral("too large to compute with: read as 0");
    case NumberReading::Range::TooSmall:
        return QStringLiteral("too small to compute with: read as 0");
    case NumberReading::Range::Fits:
        break;
    }
    if (reading.whole)
        return {};
    return QStringLiteral("read as ") + doubleText(reading.value);
}

std::optional<float> wholeSingle(QStringView text, QString *problem)
{
    const NumberReading reading = readNumberText(text);
    QString why;
    if (!reading.whole || text.trimmed().isEmpty())
        why = QStringLiteral("is no number");
    else if (reading.range == NumberReading::Range::TooLarge)
        why = QStringLiteral("is too large to compute with");
    else if (reading.range == NumberReading::Range::TooSmall)
        why = QStringLiteral("is too small to compute with");
    if (why.isEmpty())
        return float(reading.value);
    if (problem)
        *problem = why;
    return std::nullopt;
}

QString singleText(float value)
{
    return generalText(double(value), 7);
}

QString doubleText(double value)
{
    return generalText(value, 15);
}

float roundHalfEven2(float value)
{
    // A single times 100 is exact in a double, so the tie test below is exact; nearbyint rounds
    // ties to even in the default rounding mode.
    const double scaled = double(value) * 100.0;
    return float(std::nearbyint(scaled) / 100.0);
}

int filterQuoteKey(int keyCode)
{
    return keyCode == '\'' || keyCode == '"' ? 0 : keyCode;
}

QString withoutQuotes(QString text)
{
    text.remove(u'\'');
    text.remove(u'"');
    text.remove(QChar(u'\0'));
    return text;
}

QString withCrLfLineBreaks(const QString &text)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString out;
    out.reserve(text.size() + text.size() / 16);
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            out += QLatin1String("\r\n");
            if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString oneLine(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u'\t')
            out += QLatin1String("\\t");
        else if (c.category() == QChar::Other_Control)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace corvane
