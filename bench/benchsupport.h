#pragma once

// What the benchmarks share: bend table workbooks of a given number of records, written once at
// start by bench/make-bench-workbook.py (python3-xlwt) into a temporary folder.

#include <QByteArray>
#include <QString>

namespace corvane::bench {

// The path of the workbook of rows records (1,000 or 10,000).
QString workbookPath(int rows);
QByteArray workbookBytes(int rows);
// A folder of the benchmarks' own for the files they write.
QString scratchFolder();

} // namespace corvane::bench
