#include "calculation/bendcalculation.h"

#include "ground/numbers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::makeSection;

BendCalculation calculate(const Section &s)
{
    return calculateSection(s, "MS", "2", test::workedExampleTable());
}

TEST(BendCalculation, WorkedExampleMatchesToTheDigit)
{
    const BendCalculation c =
        calculate(makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}}));
    EXPECT_EQ(singleText(c.bends[0].ba), "4.178315");
    EXPECT_EQ(singleText(c.bends[0].ossb), "3.999995");
    EXPECT_EQ(singleText(c.bends[0].bd), "3.821675");
    // Every subtraction is stored as a single before the next: 46.000004, not 46.
    const float flat[] = {48.08916f, 96.17833f, 48.08916f};
    const float straight[] = {46.000004f, 92.000015f, 46.000004f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(c.flatLength[i], flat[i]) << i;
        EXPECT_EQ(c.straightLength[i], straight[i]) << i;
    }
    EXPECT_EQ(c.unfoldedTotal, 192.35664f);
}

TEST(BendCalculation, VeeFailsWhenHalfOfItExceedsAStraightPartAndOnlyAnglesFoundDeduct)
{
    // Flanges (an empty third one ends the profile), two bends as (angle, vee), then which vees
    // fail.
    struct Case
    {
        const char *flanges[3];
        const char *bends[2][2];
        bool failed[2];
    };
    const Case cases[] = {
        {{"50", "100", "50"}, {{"90", "92"}, {"90", "92"}}, {false, false}},
        {{"50", "100", "50"}, {{"90", "92"}, {"90", "93"}}, {false, true}},
        // An angle of 0 has a BA of 0: the straight part is the whole flange, here exactly half
        // the vee, which passes.
        {{"10", "10", ""}, {{"0", "20"}, {"0", "93"}}, {false, false}},
        // A flat bend in the middle is checked against its neighbours all the same.
        {{"50", "100", "40"}, {{"90", "16"}, {"0", "93"}}, {false, true}},
        // A flange of negative length checks no vee.
        {{"50", "-20", "50"}, {{"90", "93"}, {"90", "16"}}, {true, false}},
    };
    for (size_t row = 0; row < std::size(cases); ++row) {
        const Case &k = cases[row];
        const BendCalculation c = calculate(
            makeSection({k.flanges[0], k.flanges[1], k.flanges[2]},
                        {{k.bends[0][0], k.bends[0][1]}, {k.bends[1][0], k.bends[1][1]}}));
        for (int j = 0; j < 2; ++j)
            EXPECT_EQ(c.veeFailed[j], k.failed[j]) << "row " << row << ", bend " << j;
        EXPECT_EQ(c.veeError, k.failed[0] || k.failed[1]) << "row " << row;
    }

    // Only angles other than 0 deduct.
    const BendCalculation flat =
        calculate(makeSection({"50", "100", "40"}, {{"90", "16"}, {"0", "16"}}));
    EXPECT_EQ(flat.flatLength[1], float(100.0 - double(flat.bends[0].bd) / 2.0));
    EXPECT_EQ(flat.flatLength[2], 40.0f);

    // A negative angle deducts as its magnitude; a vee too wide changes no length.
    const BendCalculation negative =
        calculate(makeSection({"50", "100", "50"}, {{"-90", "16"}, {"90", "93"}}));
    EXPECT_EQ(negative.bends[0].enteredAngle, -90.0);
    EXPECT_EQ(negative.unfoldedTotal, 192.35664f);

    // A failed lookup takes nothing off and is visible. Vee 12 has no record; vee 25 has two.
    for (const char *vee : {"12", "25", ""}) {
        const BendCalculation c =
            calculate(makeSection({"50", "100", "50"}, {{"90", vee}, {"90", "16"}}));
        EXPECT_EQ(c.bends[0].ba, 0.0f) << vee;
        EXPECT_TRUE(c.lookupMissing(0)) << vee;
        EXPECT_EQ(singleText(c.unfoldedTotal), "196.1783") << vee;
    }
    // A flat bend without a record is no cause for alarm: it deducts nothing anyway.
    EXPECT_FALSE(calculate(makeSection({"50", "100"}, {{"0", "12"}})).lookupMissing(0));
}

TEST(BendCalculation, GateNeedsMaterialThicknessAndAFirstFlangeAndTheProfileEndsAtAFlangeOf0)
{
    struct Case
    {
        const char *material, *thickness, *firstFlange;
        bool passes;
    };
    const Case cases[] = {{"MS", "2", "50", true}, {"ms", "2.0", "50", true},
                          {"", "2", "50", false},  {"MS", "", "50", false},
                          {"MS", "2", "0", false}, {"MS", "2", "-5", false}};
    for (const Case &k : cases) {
        const BendCalculation c =
            calculateSection(makeSection({k.firstFlange, "100"}, {{"90", "16"}}), k.material,
                             k.thickness, test::workedExampleTable());
        SCOPED_TRACE(std::string(k.material) + ' ' + k.thickness + ' ' + k.firstFlange);
        EXPECT_EQ(c.gatePassed, k.passes);
    }

    // The profile ends before the first flange of 0.
    EXPECT_EQ(calculate(makeSection({"80", "0", "50"}, {{"90", "16"}})).unfoldedTotal, 80.0f);

    // A negative length does not end it, and adds nothing.
    const BendCalculation negative =
        calculate(makeSection({"50", "-20", "50"}, {{"90", "16"}, {"90", "16"}}));
    EXPECT_EQ(negative.flatLength[1], 0.0f);
    EXPECT_EQ(negative.unfoldedTotal, 2 * 48.08916f);

    const auto b = std::pair{"90", "16"};
    const BendCalculation c = calculate(
        makeSection({"100", "100", "100", "100", "100", "100", "100", "100", "100", "100", "100"},
                    {b, b, b, b, b, b, b, b, b, b}));
    EXPECT_EQ(c.flatLength[10], float(100.0 - double(3.821675f) / 2.0));
    EXPECT_NEAR(c.unfoldedTotal, 1100 - 10 * 3.821675f, 1e-3);
}

TEST(BendCalculation, VeeColoursOutliveARunWhoseGateFails)
{
    Section s = makeSection({"50", "100", "50"}, {{"90", "93"}, {"90", "16"}});
    applyVeeColours(s, calculate(s));
    EXPECT_TRUE(s.veeRed(0));
    EXPECT_FALSE(s.veeRed(1));

    s.setOutside(0, QString());
    applyVeeColours(s, calculate(s));
    EXPECT_TRUE(s.veeRed(0));

    s.setOutside(0, "50");
    s.vee(0) = s.vee(1);
    applyVeeColours(s, calculate(s));
    EXPECT_FALSE(s.veeRed(0));
}

} // namespace
} // namespace corvane
