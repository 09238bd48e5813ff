#include "ground/units.h"

#include <gtest/gtest.h>

#include <tuple>

namespace corvane {
namespace {

TEST(Units, LengthsTextsAndUnitWordsInEveryUnit)
{
    // A negative length keeps its sign in front of the text of its magnitude.
    const std::tuple<float, const char *, const char *> rows[] = {
        {0.0f, "0.000", "0"},         {0.5f, "0.020", "1/16"},      {1.5875f, "0.062", "1/16"},
        {12.7f, "0.500", "1/2"},      {24.6f, "0.969", "15/16"},    {24.7f, "0.972", "1"},
        {25.4f, "1.000", "1"},        {38.1f, "1.500", "1 1/2"},    {50.0f, "1.969", "1 15/16"},
        {51.054f, "2.010", "2 1/16"}, {-63.5f, "-2.500", "-2 1/2"}, {-12.7f, "-0.500", "-1/2"},
        {-24.7f, "-0.972", "-1"},     {-25.4f, "-1.000", "-1"},     {-0.001f, "0.000", "-1/16"},
    };
    for (const auto &[mm, decimal, fractional] : rows) {
        EXPECT_EQ(formatLength(mm, LengthUnit::DecimalInch), decimal) << mm;
        EXPECT_EQ(formatLength(mm, LengthUnit::FractionalInch), fractional) << mm;
    }
    // Millimetres show the general number text; no unit shows nothing.
    EXPECT_EQ(formatLength(4.178315f, LengthUnit::Millimetre), "4.178315");
    EXPECT_EQ(formatLength(50.0f, LengthUnit::None), "");
    EXPECT_EQ(unitLabel(LengthUnit::Millimetre), "mm");
    EXPECT_EQ(unitLabel(LengthUnit::DecimalInch), "in");
    EXPECT_EQ(unitLabel(LengthUnit::FractionalInch), "in");
    EXPECT_EQ(unitLabel(LengthUnit::None), "");

    // Millimetre texts in inches: remainders exactly between two sixteenths go to the coarser
    // fraction, anything above zero shows at least 1/16, no text shows as no text.
    const std::tuple<QString, const char *, const char *> texts[] = {
        {QString::number(25.4 * 3 / 32), "0.094", "1/8"},
        {QString::number(25.4 * 7 / 32), "0.219", "1/4"},
        {QString::number(25.4 * (2 + 31.0 / 32)), "2.969", "3"},
        {QStringLiteral("0.01"), "0.000", "1/16"},
        {QStringLiteral("abc"), "0.000", "0"},
        {QString(), "", ""},
    };
    for (const auto &[mm, decimal, fractional] : texts) {
        EXPECT_EQ(mmToIn(mm), decimal) << mm.toStdString();
        EXPECT_EQ(mmToFrIn(mm), fractional) << mm.toStdString();
    }
}

} // namespace
} // namespace corvane
