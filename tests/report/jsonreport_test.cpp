#include "report/jsonreport.h"

#include "testsupport.h"

#include <QJsonArray>

#include <gtest/gtest.h>

namespace corvane {
namespace {

// What the page leaves empty or shows as n/a is null: the values of a flat bend, the K factor,
// inside radius and OSSB of a bend with no single table row; the bend line is there all the same.
TEST(JsonReport, WhatThePageLeavesEmptyOrShowsAsNotAvailableIsNull)
{
    Job job = test::workedExampleJob();
    job.section(1) = test::makeSection({"50", "100", "50"}, {{"0", "16"}, {"-90", "25"}});
    const BendCalculation c =
        calculateSection(job.section(1), "MS", "2", test::workedExampleTable());
    const QJsonObject json = jobJson("j.bm", job, {{1, c, std::nullopt}});
    const QJsonObject section = json["sections"][0].toObject();
    EXPECT_EQ(json["thickness"], 2);
    EXPECT_EQ(section["width"], QJsonValue());
    const QJsonObject flat = section["bends"][0].toObject();
    const QJsonObject missing = section["bends"][1].toObject();
    for (const char *key : {"angle", "vee", "k_factor", "inside_radius", "bend_allowance",
                            "outside_setback", "bend_deduction"})
        EXPECT_EQ(flat[key], QJsonValue()) << key;
    for (const char *key : {"k_factor", "inside_radius", "outside_setback"})
        EXPECT_EQ(missing[key], QJsonValue()) << key;
    EXPECT_EQ(missing["angle"], -90);
    EXPECT_EQ(missing["bend_allowance"], 0);
    EXPECT_EQ(flat["bend_line"], 50);
    EXPECT_EQ(missing["bend_line"], 150);
    EXPECT_EQ(section["unfolded_length"], 200);
}

} // namespace
} // namespace corvane
