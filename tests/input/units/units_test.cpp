#include "input/units/units.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(Units, ConvertEveryRowOfTheUnitTable)
{
    struct Row
    {
        float mm;
        const char *decimal;
        const char *fractional;
    };
    const Row rows[] = {
        {0.0f, "0.000", "0"},         {0.5f, "0.020", "1/16"},      {1.5875f, "0.062", "1/16"},
        {12.7f, "0.500", "1/2"},      {24.6f, "0.969", "15/16"},    {24.7f, "0.972", "1"},
        {25.4f, "1.000", "1"},        {38.1f, "1.500", "1 1/2"},    {50.0f, "1.969", "1 15/16"},
        {100.0f, "3.937", "3 15/16"}, {250.0f, "9.843", "9 13/16"}, {51.054f, "2.010", "2 1/16"},
        {76.2f, "3.000", "3"},        {192.36f, "7.573", "7 9/16"}, {144.27f, "5.680", "5 11/16"},
        {48.09f, "1.893", "1 7/8"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(formatLength(row.mm, LengthUnit::DecimalInch), row.decimal) << row.mm;
        EXPECT_EQ(formatLength(row.mm, LengthUnit::FractionalInch), row.fractional) << row.mm;
    }
}

TEST(Units, MillimetresShowTheGeneralNumberText)
{
    EXPECT_EQ(formatLength(100.0f, LengthUnit::Millimetre), "100");
    EXPECT_EQ(formatLength(12.5f, LengthUnit::Millimetre), "12.5");
    EXPECT_EQ(formatLength(4.178315f, LengthUnit::Millimetre), "4.178315");
    EXPECT_EQ(unitLabel(LengthUnit::Millimetre), "mm");
    EXPECT_EQ(unitLabel(LengthUnit::DecimalInch), "in");
    EXPECT_EQ(unitLabel(LengthUnit::FractionalInch), "in");
}

TEST(Units, NoUnitChosenGivesEmptyTexts)
{
    EXPECT_EQ(formatLength(50.0f, LengthUnit::None), "");
    EXPECT_EQ(unitLabel(LengthUnit::None), "");
}

TEST(Units, FractionsBreakTiesTowardTheCoarserFraction)
{
    // Remainders exactly between two sixteenths: 3/32 and 7/32 inch, and 31/32 of the next inch.
    EXPECT_EQ(mmToFrIn(QString::number(25.4 * 3 / 32)), "1/8");
    EXPECT_EQ(mmToFrIn(QString::number(25.4 * 7 / 32)), "1/4");
    EXPECT_EQ(mmToFrIn(QString::number(25.4 * (2 + 31.0 / 32))), "3");
    // Anything above zero shows at least 1/16.
    EXPECT_EQ(mmToFrIn(QStringLiteral("0.01")), "1/16");
}

TEST(Units, ConversionsOfEmptyAndOddTexts)
{
    EXPECT_EQ(mmToIn(QString()), "");
    EXPECT_EQ(mmToFrIn(QString()), "");
    EXPECT_EQ(mmToFrIn(QStringLiteral("abc")), "0");
    EXPECT_EQ(mmToIn(QStringLiteral("1.5875")), "0.062");
}

TEST(Units, NegativeLengthsKeepTheirSign)
{
    EXPECT_EQ(formatLength(-63.5f, LengthUnit::FractionalInch), "-2 1/2");
    EXPECT_EQ(formatLength(-12.7f, LengthUnit::FractionalInch), "-1/2");
    EXPECT_EQ(formatLength(-24.7f, LengthUnit::FractionalInch), "-1");
    EXPECT_EQ(formatLength(-25.4f, LengthUnit::DecimalInch), "-1.000");
    EXPECT_EQ(formatLength(-0.001f, LengthUnit::DecimalInch), "0.000");
}

} // namespace
} // namespace corvane
