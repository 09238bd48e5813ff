#include "calculation/testbend.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

const BendLookup kTableRow{BendLookup::Status::Found, 0.4f, 2.0f, false};

// The worked example run backwards: 90 degrees of 2 mm sheet with IR 2 and K 0.33 deducts
// 3.821675 mm, so flanges of 50 and 50 on a blank of 96.178325 mm give K 0.33.
TEST(TestBend, GivesTheKFactorOfTheWorkedExampleBackAndSaysWhatCannotBeRight)
{
    const TestBendResult fromTable =
        workOutTestBend({2.0f, 90.0f, 96.178325f, 50.0f, 50.0f, std::nullopt}, kTableRow);
    ASSERT_TRUE(fromTable.ok()) << fromTable.error.toStdString();
    EXPECT_NEAR(fromTable.kFactor, 0.33f, 1e-4f);
    EXPECT_EQ(fromTable.tableKFactor, 0.4f);
    EXPECT_TRUE(fromTable.implausible.isEmpty());
    // A bend the other way is the same bend; a measured radius goes before the table's.
    const TestBendResult measured =
        workOutTestBend({2.0f, -90.0f, 96.178325f, 50.0f, 50.0f, 3.0f}, kTableRow);
    EXPECT_NEAR(measured.ossb, 5.0f, 1e-5f); // (IR 3 + T 2) tan 45 degrees
    EXPECT_NEAR(measured.kFactor, 0.4666f, 1e-4f);
    // Flanges measured too long give K below 0, measured on the inside above 1.
    for (const auto &[flange, says] :
         {std::pair(53.0f, "a K factor below 0"), std::pair(48.0f, "a K factor above 1")}) {
        const TestBendResult r =
            workOutTestBend({2.0f, 90.0f, 96.178325f, flange, flange, std::nullopt}, kTableRow);
        EXPECT_TRUE(r.implausible.startsWith(says)) << r.implausible.toStdString();
    }

    // What cannot be worked out says why.
    const std::pair<TestBend, const char *> wrong[] = {
        {{2.0f, 90.0f, 96.0f, 50.0f, 50.0f, std::nullopt}, "no single row"},
        {{0.0f, 90.0f, 96.0f, 50.0f, 50.0f, 2.0f}, "thickness"},
        {{2.0f, 180.0f, 96.0f, 50.0f, 50.0f, 2.0f}, "angle must lie between -180 and 180"},
        {{2.0f, 0.0f, 96.0f, 50.0f, 50.0f, 2.0f}, "angle"},
        {{2.0f, 90.0f, 96.0f, 0.0f, 50.0f, 2.0f}, "flanges"},
        {{2.0f, 90.0f, 96.0f, 50.0f, 50.0f, -1.0f}, "radius"},
        {{2.0f, 90.0f, 96.0f, 50.0f, 50.0f, 3e38f}, "the bend allowance comes out as inf"},
    };
    for (const auto &[input, says] : wrong) {
        const TestBendResult result = workOutTestBend(input, BendLookup{});
        EXPECT_TRUE(result.error.contains(QString::fromUtf8(says))) << result.error.toStdString();
    }
}

} // namespace
} // namespace corvane
