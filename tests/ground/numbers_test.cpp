#include "ground/numbers.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(NumericReadingRule, ReadsTheLeadingNumberOfAText)
{
    // Numbers beyond the range of a double, or below its smallest, read as 0.
    const std::pair<const char16_t *, double> rows[] = {
        {u"12abc", 12}, {u" 1 2.5", 12.5}, {u"", 0},          {u"abc", 0},     {u"-2", -2},
        {u"1e2", 100},  {u".5", 0.5},      {u"+7", 7},        {u"1.2.3", 1.2}, {u"1e", 1},
        {u"1e-", 1},    {u"2E-1", 0.2},    {u"1e+2", 100},    {u"-", 0},       {u".", 0},
        {u"-.5", -0.5}, {u"\t3\n4", 34},   {u"- 2", -2},      {u"5-3", 5},     {u"3\r4", 3},
        {u"e5", 0},     {u"1 e 2", 100},   {u"0.125", 0.125}, {u"12,5", 12},   {u"--1", 0},
        {u"1e400", 0},  {u"-1e400", 0},    {u"1e-400", 0},
    };
    for (const auto &[text, expected] : rows) {
        EXPECT_DOUBLE_EQ(readNumber(text), expected)
            << '"' << QString::fromUtf16(text).toStdString() << '"';
    }
    // A single holds less: a number beyond its range reads as 0 too.
    EXPECT_EQ(readSingle(u"1e39"), 0.0f);
    EXPECT_EQ(readSingle(u"3e38"), 3e38f);
}

TEST(NumericReadingRule, ATextNotReadAsItShowsIsNoted)
{
    const std::pair<const char *, QStringList> notes[] = {
        {"", {"12", " 1 e 2\t", "", "1.", "0e999", "1e-40", "-3e38"}},
        {"read as 1", {"1,5", "1e"}},
        {"read as 0", {"abc", "nan", "-"}},
        {"read as 2.5", {"2.5mm"}},
        {"too large to compute with: read as 0", {"1e39", "-1e100", "1e400", "0.001e999"}},
        {"too small to compute with: read as 0", {"1e-320", "1e-400", "1000e-999"}},
    };
    for (const auto &[note, texts] : notes) {
        for (const QString &text : texts)
            EXPECT_EQ(readingNote(text), note) << '"' << text.toStdString() << '"';
    }
}

TEST(NumberText, SinglesShowSevenSignificantDigitsDoublesFifteenAndTiesRoundToEven)
{
    QStringList singles;
    for (float value : {1.0f / 3.0f, -2.0f, -0.0f, 0.1f, 46.000004f, 192.35664f, 1234567.0f,
                        12345678.0f, 0.0001f, 0.00001f})
        singles << singleText(value);
    EXPECT_EQ(singles.join(' '),
              "0.3333333 -2 0 0.1 46 192.3566 1234567 1.234568E+07 0.0001 1E-05");
    QStringList doubles;
    for (double value : {0.1 + 0.2, 1.0 / 3.0, double(0.8f), -90.0})
        doubles << doubleText(value);
    EXPECT_EQ(doubles.join(' '), "0.3 0.333333333333333 0.800000011920929 -90");

    // Rounding to two places takes exact ties to the even neighbour; 1.005 is held as
    // 1.00499999..., which is no tie. The pages of sectionpage_test.cpp show the rest.
    const std::pair<float, float> rows[] = {
        {0.125f, 0.12f}, {0.375f, 0.38f}, {-0.125f, -0.12f}, {2.5f, 2.5f}, {1.005f, 1.0f}};
    for (const auto &[value, rounded] : rows)
        EXPECT_EQ(roundHalfEven2(value), rounded) << value;
}

TEST(QuoteFilter, DropsApostrophesAndDoubleQuotesOnly)
{
    const std::pair<int, int> keys[] = {
        {'\'', 0}, {'"', 0}, {'a', 'a'}, {'`', '`'}, {0x201C, 0x201C}};
    for (const auto &[key, kept] : keys)
        EXPECT_EQ(filterQuoteKey(key), kept) << key;
    EXPECT_EQ(withoutQuotes(QString::fromUtf16(u"it's a \"test\"\0\x01\u00e9", 16)),
              QString::fromUtf16(u"its a test\x01\u00e9"));
}

} // namespace
} // namespace corvane
