#include "compute/calculation/bendcalculation.h"

#include "shell/ground/numbers.h"

#include "testsupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::makeSection;
using test::workedExampleTable;

Section section(std::initializer_list<const char *> flanges,
                std::initializer_list<std::pair<const char *, const char *>> bends)
{
    return makeSection(flanges, bends);
}

BendCalculation calculate(const Section &s, const char *thickness = "2")
{
    return calculateSection(s, QStringLiteral("MS"), QString::fromUtf8(thickness),
                            workedExampleTable());
}

TEST(BendCalculation, WorkedExampleMatchesToTheDigit)
{
    const BendCalculation c = calculate(section({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}}));
    ASSERT_TRUE(c.gatePassed);
    EXPECT_EQ(c.lastFlange, 2);
    for (int j = 0; j < 2; ++j) {
        const BendValues &b = c.bends[j];
        EXPECT_TRUE(b.found());
        EXPECT_EQ(singleText(b.ba), "4.178315");
        EXPECT_EQ(singleText(b.ossb), "3.999995");
        EXPECT_EQ(singleText(b.bd), "3.821675");
        EXPECT_EQ(singleText(roundHalfEven2(b.ossb)), "4");
        EXPECT_EQ(singleText(roundHalfEven2(b.ba)), "4.18");
        EXPECT_EQ(singleText(roundHalfEven2(b.bd)), "3.82");
    }
    // Seven significant digits, as the general number text shows them; 46.000004 is given to
    // eight to tell it from 46.
    EXPECT_EQ(singleText(c.flatLength[0]), "48.08916");
    EXPECT_EQ(singleText(c.flatLength[1]), "96.17833");
    EXPECT_EQ(singleText(c.flatLength[2]), "48.08916");
    EXPECT_EQ(c.straightLength[0], 46.000004f);
    EXPECT_EQ(singleText(c.straightLength[1]), "92.00002");
    EXPECT_EQ(c.straightLength[2], 46.000004f);
    EXPECT_EQ(singleText(c.unfoldedTotal), "192.3566");
    EXPECT_EQ(c.unfoldedTotal, 192.35664f);
    EXPECT_EQ(singleText(roundHalfEven2(c.unfoldedTotal)), "192.36");
    EXPECT_FALSE(c.veeError);
    EXPECT_TRUE(c.fullRow(0));
    EXPECT_TRUE(c.fullRow(1));
    EXPECT_FALSE(c.fullRow(2));
}

TEST(BendCalculation, VeeOf92PassesAnd93FailsAgainstTheEndFlange)
{
    const BendCalculation pass =
        calculate(section({"50", "100", "50"}, {{"90", "92"}, {"90", "92"}}));
    EXPECT_FALSE(pass.veeError);
    const BendCalculation fail =
        calculate(section({"50", "100", "50"}, {{"90", "92"}, {"90", "93"}}));
    EXPECT_TRUE(fail.veeError);
    EXPECT_FALSE(fail.veeFailed[0]);
    EXPECT_TRUE(fail.veeFailed[1]);
    // The failing vee changes no length.
    EXPECT_EQ(fail.unfoldedTotal, 192.35664f);
}

TEST(BendCalculation, StraightPartExactlyHalfTheVeePasses)
{
    // An angle of 0 gives a BA of 0, so the straight part is the whole flange.
    EXPECT_FALSE(calculate(section({"10", "10"}, {{"0", "20"}})).veeError);
    const BendCalculation wider = calculate(section({"10", "10"}, {{"0", "20.5"}}));
    EXPECT_TRUE(wider.veeError);
    EXPECT_TRUE(wider.veeFailed[0]);
}

TEST(BendCalculation, SingleFlangeNeedsNoLookup)
{
    const BendCalculation c = calculate(section({"80"}, {{"90", "93"}}));
    ASSERT_TRUE(c.gatePassed);
    EXPECT_EQ(c.lastFlange, 0);
    EXPECT_EQ(c.bendCount(), 0);
    EXPECT_EQ(c.flatLength[0], 80.0f);
    EXPECT_EQ(c.unfoldedTotal, 80.0f);
    EXPECT_FALSE(c.fullRow(0));
    EXPECT_FALSE(c.veeError);
}

TEST(BendCalculation, ElevenFlangesAreAllRead)
{
    Section s;
    for (int i = 0; i < kFlangeCount; ++i)
        s.setOutside(i, QStringLiteral("100"));
    for (int j = 0; j < kBendCount; ++j) {
        s.setAngle(j, QStringLiteral("90"));
        s.vee(j).setItems({QStringLiteral("16")});
        s.vee(j).choose(0);
    }
    const BendCalculation c = calculate(s);
    EXPECT_EQ(c.lastFlange, 10);
    float expected = 0;
    for (int i = 0; i < kFlangeCount; ++i)
        expected = float(double(expected) + c.flatLength[i]);
    EXPECT_EQ(c.unfoldedTotal, expected);
    EXPECT_EQ(c.flatLength[10], float(100.0 - double(3.821675f) / 2.0));
    EXPECT_NEAR(c.unfoldedTotal, 1100 - 10 * 3.821675f, 1e-3);
}

TEST(BendCalculation, ZeroAngleInTheMiddleTakesNoDeductionButIsStillChecked)
{
    const BendCalculation c = calculate(section({"50", "100", "40"}, {{"90", "16"}, {"0", "93"}}));
    EXPECT_TRUE(c.fullRow(0));
    EXPECT_FALSE(c.fullRow(1));
    EXPECT_TRUE(c.bends[1].found());
    EXPECT_EQ(c.flatLength[1], float(100.0 - double(c.bends[0].bd) / 2.0));
    EXPECT_EQ(c.flatLength[2], 40.0f);
    // The vee of the flat bend is checked against both neighbours all the same.
    EXPECT_TRUE(c.veeFailed[1]);
}

TEST(BendCalculation, NegativeAngleComputesAsItsMagnitude)
{
    const BendCalculation c =
        calculate(section({"50", "100", "50"}, {{"-90", "16"}, {"90", "16"}}));
    EXPECT_EQ(singleText(c.bends[0].ba), "4.178315");
    EXPECT_EQ(c.bends[0].enteredAngle, -90.0);
    EXPECT_EQ(c.bends[0].angle, 90.0f);
    EXPECT_EQ(c.unfoldedTotal, 192.35664f);
}

TEST(BendCalculation, FailedLookupTakesNothingOffAndIsVisible)
{
    // Vee 12 has no record; vee 25 has two.
    for (const char *vee : {"12", "25", ""}) {
        const BendCalculation c =
            calculate(section({"50", "100", "50"}, {{"90", vee}, {"90", "16"}}));
        EXPECT_FALSE(c.bends[0].found()) << vee;
        EXPECT_EQ(c.bends[0].ba, 0.0f);
        EXPECT_EQ(c.bends[0].bd, 0.0f);
        EXPECT_TRUE(c.lookupMissing(0));
        EXPECT_FALSE(c.lookupMissing(1));
        EXPECT_EQ(c.flatLength[0], 50.0f);
        EXPECT_FALSE(c.veeFailed[0]);
        EXPECT_EQ(singleText(c.unfoldedTotal), "196.1783");
    }
    const BendCalculation several = calculate(section({"50", "100"}, {{"90", "25"}}));
    EXPECT_EQ(several.bends[0].lookup, BendLookup::Status::SeveralRecords);
    // A flat bend without a record is no cause for alarm: it deducts nothing anyway.
    EXPECT_FALSE(calculate(section({"50", "100"}, {{"0", "12"}})).lookupMissing(0));
}

TEST(BendCalculation, GateNeedsMaterialThicknessAndAFirstFlange)
{
    const Section s = section({"50", "100"}, {{"90", "16"}});
    EXPECT_TRUE(calculateSection(s, "MS", "2", workedExampleTable()).gatePassed);
    EXPECT_TRUE(calculateSection(s, "ms", "2.0", workedExampleTable()).bends[0].found());
    EXPECT_FALSE(calculateSection(s, "", "2", workedExampleTable()).gatePassed);
    EXPECT_FALSE(calculateSection(s, "MS", "", workedExampleTable()).gatePassed);
    EXPECT_FALSE(calculateSection(s, "MS", "abc", workedExampleTable()).gatePassed);
    EXPECT_FALSE(calculate(section({"0", "100"}, {{"90", "16"}})).gatePassed);
    EXPECT_FALSE(calculate(section({"-5", "100"}, {{"90", "16"}})).gatePassed);
    EXPECT_FALSE(calculate(section({"", "100"}, {{"90", "16"}})).gatePassed);
}

TEST(BendCalculation, NegativeFlangeDoesNotEndTheProfileAndAddsNothing)
{
    const BendCalculation c = calculate(section({"50", "-20", "50"}, {{"90", "93"}, {"90", "16"}}));
    EXPECT_EQ(c.lastFlange, 2);
    EXPECT_EQ(c.flatLength[1], 0.0f);
    EXPECT_EQ(c.straightLength[1], 0.0f);
    EXPECT_EQ(c.flatLength[0], float(50.0 - 3.821675f / 2.0));
    EXPECT_EQ(c.unfoldedTotal, float(double(c.flatLength[0]) + c.flatLength[2]));
    // Vee 93 is checked against flange 0 only, where it fails.
    EXPECT_TRUE(c.veeFailed[0]);
}

TEST(BendCalculation, VeeColoursOutliveARunWhoseGateFails)
{
    Section s = section({"50", "100", "50"}, {{"90", "93"}, {"90", "16"}});
    applyVeeColours(s, calculate(s));
    EXPECT_TRUE(s.veeRed(0));
    EXPECT_FALSE(s.veeRed(1));

    s.setOutside(0, QString());
    applyVeeColours(s, calculate(s));
    EXPECT_TRUE(s.veeRed(0));

    s.setOutside(0, QStringLiteral("50"));
    s.vee(0).setItems({QStringLiteral("16")});
    s.vee(0).choose(0);
    applyVeeColours(s, calculate(s));
    EXPECT_FALSE(s.veeRed(0));
}

} // namespace
} // namespace corvane
