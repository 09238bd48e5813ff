#include "bendtable/bendtablecheck.h"

#include "bendtable/bendtable.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

QStringList findings(const QByteArray &workbook)
{
    const BendTableLoad load = BendTable::fromWorkbook(workbook);
    EXPECT_TRUE(load.ok()) << load.error.toStdString();
    QStringList lines;
    for (const TableFinding &finding : checkBendTable(*load.table))
        lines << finding.text;
    return lines;
}

// One row for each kind of finding, each named by its row as a spreadsheet numbers it (the header
// is row 1; an empty row keeps its number).
TEST(BendTableCheck, NamesEveryKindOfFindingByItsRow)
{
    const QStringList header = {"material", "thickness",       "vee",    "standard",
                                "k_factor", "internal_radius", "version"};
    const QStringList expected = {
        "row 2: version: empty in the first row; the status bar shows no version",
        "row 3: material, thickness, vee: the same as row 2; the lookups of MS 2 on vee 16 fail",
        "row 4: k_factor: empty",
        "row 4: internal_radius: \"x\" is no number",
        "row 4: standard: no vee of MS 3 is marked YES; none is offered first",
        "row 6: thickness: 0 is not above 0",
        "row 6: vee: -4 is not above 0",
        "row 6: k_factor: 1.5 is outside 0 to 1",
        "row 6: internal_radius: -1 is negative",
        "row 8: material: \"al\" and \"AL\" of row 6 differ only in letter case; the lookups take "
        "them as one",
        "row 8: standard: AL 1 has vees marked YES in rows 7, 8; one is offered first",
        "row 9: material: \" AL\" and \"AL\" of row 6 differ only in blanks around them or letter "
        "case; the lookups take them as two materials",
        "row 10: material: empty; the queries leave this row out",
    };
    EXPECT_EQ(findings(test::textWorkbook({
                  header,
                  {"MS", "2", "16", "YES", "0.43", "2.56"}, // 2: no version
                  {"MS", "2", "16", "", "0.40", "2.5"},     // 3: same as row 2
                  {"MS", "3", "25", "", "", "x"},           // 4: empty, no number, no YES
                  {},                                       // 5
                  {"AL", "0", "-4", "YES", "1.5", "-1"},    // 6: out of range
                  {"AL", "1", "8", "YES", "1", "0"},        // 7: K 1 and IR 0 are fine
                  {"al", "1", "10", "yes", "0", "1"},       // 8: case, two YES; K 0 is fine
                  {" AL", "4", "10", "YES", "0.4", "1"},    // 9: blanks
                  {"", "2", "16", "", "0.4"},               // 10: no material
              })),
              expected);
    // A table made from records numbers them after a header row.
    const std::vector<TableFinding> made =
        checkBendTable(BendTable({test::bendRecord("MS", 2, 16, 1.5, 2, "YES")}, "v1"));
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].text, "row 2: k_factor: 1.5 is outside 0 to 1");
    // The shipped table is clean.
    EXPECT_EQ(findings(test::readBytes(CORVANE_SOURCE_DIR "/data/BendTbl.xls")), QStringList());
}

} // namespace
} // namespace corvane
