#pragma once

// The check of a bend table workbook: what in it makes a lookup fail, leaves a thickness without
// a standard vee first, or is read otherwise than the operator who typed it may think.
//
// Each finding names the row as a spreadsheet program numbers it and the columns concerned:
//   - rows of the same material, thickness and vee, whose lookups fail;
//   - a material and thickness with no vee whose standard reads "YES", or with more than one;
//   - in a row with a material, a thickness, vee, k_factor or internal_radius that is empty or no
//     number; a thickness or vee of 0 or less; a K factor outside 0 to 1; a negative internal
//     radius;
//   - material names that differ only in letter case or in blanks around them;
//   - no version in the first row;
//   - rows without a material that hold other values, which the queries leave out.
// Values are read as the queries read them (bendtable.h): a text that is a number is a number.

#include <QString>

#include <vector>

namespace corvane {

class BendTable;

struct TableFinding
{
    int row = 0;  // as a spreadsheet program numbers it
    QString text; // "row 7: k_factor: 1.3 is outside 0 to 1"
};

// The findings of a table, by row: BendTable::rows() numbers its records, or, for a table made from
// records, their places after a header row.
std::vector<TableFinding> checkBendTable(const BendTable &table);

} // namespace corvane
