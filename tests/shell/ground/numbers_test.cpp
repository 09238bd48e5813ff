#include "shell/ground/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvane {
namespace {

TEST(NumericReadingRule, ReadsTheLeadingNumberOfATextAsTheDesignDoes)
{
    struct Row
    {
        const char16_t *text;
        double expected;
    };
    const Row rows[] = {
        {u"12abc", 12}, {u" 1 2.5", 12.5}, {u"", 0},          {u"abc", 0},     {u"-2", -2},
        {u"1e2", 100},  {u".5", 0.5},      {u"+7", 7},        {u"1.2.3", 1.2}, {u"1e", 1},
        {u"1e-", 1},    {u"2E-1", 0.2},    {u"1e+2", 100},    {u"-", 0},       {u".", 0},
        {u"-.5", -0.5}, {u"\t3\n4", 34},   {u"- 2", -2},      {u"5-3", 5},     {u"3\r4", 3},
        {u"e5", 0},     {u"1 e 2", 100},   {u"0.125", 0.125}, {u"12,5", 12},   {u"--1", 0},
    };
    for (const Row &row : rows) {
        const QString text = QString::fromUtf16(row.text);
        EXPECT_DOUBLE_EQ(readNumber(text), row.expected) << '"' << text.toStdString() << '"';
    }
}

TEST(NumericReadingRule, NumbersBeyondRangeReadAsZero)
{
    EXPECT_EQ(readNumber(u"1e400"), 0.0);
    EXPECT_EQ(readNumber(u"-1e400"), 0.0);
    EXPECT_EQ(readSingle(u"1e39"), 0.0f);
    EXPECT_EQ(readSingle(u"3e38"), 3e38f);
    EXPECT_EQ(readNumber(u"1e-400"), 0.0);
}

TEST(GeneralNumberText, SinglesShowAtMostSevenSignificantDigits)
{
    EXPECT_EQ(singleText(4.912023f), "4.912023");
    EXPECT_EQ(singleText(1.0f / 3.0f), "0.3333333");
    EXPECT_EQ(singleText(100.0f), "100");
    EXPECT_EQ(singleText(12.5f), "12.5");
    EXPECT_EQ(singleText(-2.0f), "-2");
    EXPECT_EQ(singleText(0.0f), "0");
    EXPECT_EQ(singleText(-0.0f), "0");
    EXPECT_EQ(singleText(0.1f), "0.1");
    EXPECT_EQ(singleText(3.999995f), "3.999995");
    EXPECT_EQ(singleText(46.000004f), "46");
    EXPECT_EQ(singleText(192.35664f), "192.3566");
    EXPECT_EQ(singleText(1234567.0f), "1234567");
    EXPECT_EQ(singleText(12345678.0f), "1.234568E+07");
    EXPECT_EQ(singleText(0.0001f), "0.0001");
    EXPECT_EQ(singleText(0.00001f), "1E-05");
}

TEST(GeneralNumberText, DoublesShowAtMostFifteenSignificantDigits)
{
    EXPECT_EQ(doubleText(1.5), "1.5");
    EXPECT_EQ(doubleText(2.0), "2");
    EXPECT_EQ(doubleText(0.1 + 0.2), "0.3");
    EXPECT_EQ(doubleText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(doubleText(double(0.8f)), "0.800000011920929");
    EXPECT_EQ(doubleText(-90.0), "-90");
}

TEST(RoundHalfEven, RoundsExactTiesToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven2(0.125f), 0.12f);
    EXPECT_EQ(roundHalfEven2(0.375f), 0.38f);
    EXPECT_EQ(roundHalfEven2(-0.125f), -0.12f);
    EXPECT_EQ(roundHalfEven2(2.5f), 2.5f);
    EXPECT_EQ(roundHalfEven2(4.178315f), 4.18f);
    EXPECT_EQ(roundHalfEven2(3.999995f), 4.0f);
    EXPECT_EQ(roundHalfEven2(3.821675f), 3.82f);
    EXPECT_EQ(roundHalfEven2(192.35664f), 192.36f);
    EXPECT_EQ(singleText(roundHalfEven2(48.08916f)), "48.09");
    // 1.005 is held as 1.00499999..., which is no tie.
    EXPECT_EQ(roundHalfEven2(1.005f), 1.0f);
}

TEST(QuoteFilter, DropsApostrophesAndDoubleQuotesOnly)
{
    EXPECT_EQ(filterQuoteKey('\''), 0);
    EXPECT_EQ(filterQuoteKey('"'), 0);
    EXPECT_EQ(filterQuoteKey('a'), 'a');
    EXPECT_EQ(filterQuoteKey('`'), '`');
    EXPECT_EQ(filterQuoteKey(0x201C), 0x201C);
    EXPECT_EQ(withoutQuotes(QStringLiteral("it's a \"test\"")), "its a test");
    EXPECT_EQ(withoutQuotes(QString::fromUtf16(u"a\0b\x01\u00e9", 5)),
              QString::fromUtf16(u"ab\x01\u00e9"));
}

} // namespace
} // namespace corvane
