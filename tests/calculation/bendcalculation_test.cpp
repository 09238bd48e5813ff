#include "calculation/bendcalculation.h"

#include "ground/numbers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <tuple>

namespace corvane {
namespace {

using test::makeSection;

BendCalculation calculate(const Section &s)
{
    return calculateSection(s, "MS", "2", test::workedExampleTable());
}

// The pages of sectionpage_test.cpp show these to two places; here they count to the digit.
TEST(BendCalculation, WorkedExampleMatchesToTheDigit)
{
    const BendCalculation c =
        calculate(makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}}));
    const BendValues &b = c.bends[0];
    EXPECT_EQ((QStringList{singleText(b.ba), singleText(b.ossb), singleText(b.bd)}),
              (QStringList{"4.178315", "3.999995", "3.821675"}));
    // Every subtraction is stored as a single before the next: 46.000004, not 46.
    EXPECT_EQ(
        (std::array{c.flatLength[0], c.flatLength[1], c.straightLength[0], c.straightLength[1]}),
        (std::array{48.08916f, 96.17833f, 46.000004f, 92.000015f}));
    EXPECT_EQ(c.unfoldedTotal, 192.35664f);
}

// The pages show that a negative flange checks no vee and that a failed lookup or a vee too wide
// changes no length.
// A flange's straight part is its outside length less the outside setback of each bend beside it,
// whichever its angle.
TEST(BendCalculation, AStraightPartIsTheLengthLessTheSetbackOfEachBendBesideIt)
{
    const BendCalculation c = calculate(
        makeSection({"50", "100", "80", "40"}, {{"90", "16"}, {"45", "16"}, {"-30", "16"}}));
    for (int i = 0; i <= c.lastFlange; ++i) {
        const double before = i > 0 ? c.bends[i - 1].ossb : 0.0;
        const double after = i < c.lastFlange ? c.bends[i].ossb : 0.0;
        EXPECT_NEAR(c.straightLength[i], c.outside[i] - before - after, 1e-4) << i;
    }
}

TEST(BendCalculation, VeeFailsWhenHalfOfItExceedsAStraightPartAndOnlyAnglesFoundDeduct)
{
    // Flanges (an empty third one ends the profile), two bends as (angle, vee), which vees fail.
    using Flanges = std::array<const char *, 3>;
    using Bends = std::array<const char *, 4>;
    const std::tuple<Flanges, Bends, bool, bool> cases[] = {
        {{"50", "100", "50"}, {"90", "92", "90", "92"}, false, false},
        {{"50", "100", "50"}, {"90", "92", "90", "93"}, false, true},
        // An angle of 0 has a BA of 0: the straight part is the whole flange, here exactly half
        // the vee, which passes.
        {{"10", "10", ""}, {"0", "20", "0", "93"}, false, false},
        // A flat bend in the middle is checked against its neighbours all the same.
        {{"50", "100", "40"}, {"90", "16", "0", "93"}, false, true},
    };
    for (const auto &[f, b, failed0, failed1] : cases) {
        const BendCalculation c =
            calculate(makeSection({f[0], f[1], f[2]}, {{b[0], b[1]}, {b[2], b[3]}}));
        EXPECT_EQ((std::array{c.veeFailed[0], c.veeFailed[1], c.veeError}),
                  (std::array{failed0, failed1, failed0 || failed1}))
            << f[0] << ' ' << b[1] << ' ' << b[3];
    }

    // Only angles other than 0 deduct, and a negative angle as its magnitude.
    const BendCalculation flat =
        calculate(makeSection({"50", "100", "40"}, {{"-90", "16"}, {"0", "16"}}));
    EXPECT_EQ(flat.bends[0].enteredAngle, -90.0);
    EXPECT_EQ(flat.flatLength[1], float(100.0 - double(3.821675f) / 2.0));
    EXPECT_EQ(flat.flatLength[2], 40.0f);
    // A failed lookup is visible, but a flat bend without a record is no cause for alarm.
    EXPECT_TRUE(calculate(makeSection({"50", "100"}, {{"90", "25"}})).lookupMissing(0));
    EXPECT_FALSE(calculate(makeSection({"50", "100"}, {{"0", "12"}})).lookupMissing(0));
}

TEST(BendCalculation, GateNeedsMaterialThicknessAndAFirstFlangeAndTheProfileEndsAtAFlangeOf0)
{
    const std::tuple<const char *, const char *, const char *, bool> cases[] = {
        {"ms", "2.0", "50", true}, {"", "2", "50", false},   {"MS", "", "50", false},
        {"MS", "2", "0", false},   {"MS", "2", "-5", false},
    };
    for (const auto &[material, thickness, firstFlange, passes] : cases) {
        EXPECT_EQ(calculateSection(makeSection({firstFlange, "100"}, {{"90", "16"}}), material,
                                   thickness, test::workedExampleTable())
                      .gatePassed,
                  passes)
            << material << ' ' << thickness << ' ' << firstFlange;
    }

    // The profile ends before the first flange of 0, or else after the last of all.
    EXPECT_EQ(calculate(makeSection({"80", "0", "50"}, {{"90", "16"}})).unfoldedTotal, 80.0f);
    const auto b = std::pair{"90", "16"};
    const char *f = "100";
    const BendCalculation c =
        calculate(makeSection({f, f, f, f, f, f, f, f, f, f, f}, {b, b, b, b, b, b, b, b, b, b}));
    EXPECT_EQ(c.flatLength[10], float(100.0 - double(3.821675f) / 2.0));
    EXPECT_NEAR(c.unfoldedTotal, 1100 - 10 * 3.821675f, 1e-3);
}

TEST(BendCalculation, VeeColoursOutliveARunWhoseGateFails)
{
    Section s = makeSection({"50", "100", "50"}, {{"90", "93"}, {"90", "16"}});
    applyVeeColours(s, calculate(s));
    EXPECT_TRUE(s.veeRed(0) && !s.veeRed(1));
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
