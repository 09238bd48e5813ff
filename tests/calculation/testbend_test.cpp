#include "calculation/testbend.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

BendLookup tableRow(float kFactor, float radius)
{
    BendLookup row;
    row.status = BendLookup::Status::Found;
    row.kFactor = kFactor;
    row.internalRadius = radius;
    return row;
}

// The worked example run backwards: 90 degrees of 2 mm sheet with IR 2 and K 0.33 deducts
// 3.821675 mm (with the design's pi, 3.14159), so flanges of 50 and 50 on a blank of 96.178325 mm
// give K 0.33.
TEST(TestBend, GivesTheKFactorOfTheWorkedExampleBackAndSaysWhatCannotBeRight)
{
    TestBend bend{2.0f, 90.0f, 96.178325f, 50.0f, 50.0f, std::nullopt};
    const TestBendResult fromTable = workOutTestBend(bend, tableRow(0.4f, 2.0f));
    ASSERT_TRUE(fromTable.ok()) << fromTable.error.toStdString();
    EXPECT_NEAR(fromTable.bd, 3.821675f, 1e-5f);
    EXPECT_NEAR(fromTable.ossb, 3.999995f, 1e-6f);
    EXPECT_NEAR(fromTable.ba, 4.178315f, 1e-5f);
    EXPECT_NEAR(fromTable.kFactor, 0.33f, 1e-4f);
    EXPECT_EQ(fromTable.tableKFactor, 0.4f);
    EXPECT_TRUE(fromTable.implausible.isEmpty());
    // A bend the other way is the same bend; a measured radius goes before the table's.
    bend.angle = -90.0f;
    bend.radius = 3.0f;
    const TestBendResult measured = workOutTestBend(bend, tableRow(0.4f, 2.0f));
    EXPECT_FLOAT_EQ(measured.internalRadius, 3.0f);
    EXPECT_NEAR(measured.ossb, 5.0f, 1e-5f);
    EXPECT_NEAR(measured.kFactor, 0.4666f, 1e-4f);
    // Flanges measured too long: K below 0.
    const TestBendResult tooLong = workOutTestBend(
        {2.0f, 90.0f, 96.178325f, 53.0f, 53.0f, std::nullopt}, tableRow(0.4f, 2.0f));
    EXPECT_LT(tooLong.kFactor, 0.0f);
    EXPECT_TRUE(tooLong.implausible.startsWith("a K factor below 0"));
    // Flanges measured on the inside: K above 1.
    const TestBendResult inside = workOutTestBend(
        {2.0f, 90.0f, 96.178325f, 48.0f, 48.0f, std::nullopt}, tableRow(0.4f, 2.0f));
    EXPECT_GT(inside.kFactor, 1.0f);
    EXPECT_TRUE(inside.implausible.contains("measured on the inside"));

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
