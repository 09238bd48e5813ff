#include "bendtable/bendtablecheck.h"

#include "bendtable/bendtable.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

// The findings one a line.
std::string findings(const BendTable &table)
{
    QString lines;
    for (const TableFinding &finding : checkBendTable(table))
        lines += finding.text + '\n';
    return lines.toStdString();
}

std::string findings(const QByteArray &workbook)
{
    const BendTableLoad load = BendTable::fromWorkbook(workbook);
    EXPECT_TRUE(load.ok()) << load.error.toStdString();
    return findings(*load.table);
}

// One row for each kind of finding, each named by its row as a spreadsheet numbers it (the header
// is row 1; an empty row keeps its number), as data/findings.txt lists them.
TEST(BendTableCheck, NamesEveryKindOfFindingByItsRow)
{
    const QString data = QStringLiteral(CORVANE_SOURCE_DIR "/tests/bendtable/data/");
    const std::string expected = test::readBytes(data + "findings.txt").toStdString();
    EXPECT_EQ(
        findings(test::textWorkbook({
            {"material", "thickness", "vee", "standard", "k_factor", "internal_radius", "version"},
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
    // The same table as LibreOffice saves it, its numbers as numbers.
    EXPECT_EQ(findings(test::readBytes(data + "findings-lo.xls")), expected);
    // A table made from records numbers them after a header row.
    EXPECT_EQ(findings(BendTable({test::bendRecord("MS", 2, 16, 1.5, 2, "YES")}, "v1")),
              "row 2: k_factor: 1.5 is outside 0 to 1\n");
    // The shipped table is clean.
    EXPECT_EQ(findings(test::readBytes(CORVANE_SOURCE_DIR "/data/BendTbl.xls")), "");
}

} // namespace
} // namespace corvane
