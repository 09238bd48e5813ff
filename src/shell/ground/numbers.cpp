#include "shell/ground/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace corvane {

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Collects the leading number of a text into a plain ASCII string that std::from_chars reads:
// blanks, tabs and line feeds are skipped wherever they stand.
std::string leadingNumber(QStringView text)
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
    std::string out;
    State state = State::Sign;
    bool mantissaDigits = false;
    std::string::size_type beforeExponent = 0;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        const bool sign = c == u'-' || c == u'+';
        if (isDigit(c)) {
            if (state == State::Sign)
                state = State::Integer;
            else if (state == State::ExponentStart || state == State::ExponentSigned)
                state = State::Exponent;
            mantissaDigits = mantissaDigits || state != State::Exponent;
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
            out.push_back('e');
            state = State::ExponentStart;
        } else if (sign && state == State::ExponentStart) {
            out.push_back(char(c));
            state = State::ExponentSigned;
        } else {
            break;
        }
    }
    if (!mantissaDigits)
        return {};
    // An exponent without digits ("1e", "1e-") does not belong to the number.
    if (state == State::ExponentStart || state == State::ExponentSigned)
        out.resize(beforeExponent);
    return out;
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
    const std::string number = leadingNumber(text);
    if (number.empty())
        return 0.0;
    const char *first = number.data();
    // from_chars takes no "+" and reads "-" itself.
    double value = 0.0;
    const auto res = std::from_chars(first, first + number.size(), value);
    if (res.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return value;
}

float readSingle(QStringView text)
{
    const double value = readNumber(text);
    if (std::fabs(value) > double(std::numeric_limits<float>::max()))
        return 0.0f;
    return float(value);
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

} // namespace corvane
