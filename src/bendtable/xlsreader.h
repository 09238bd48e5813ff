#pragma once

// Reads the cells of one sheet of an Excel 97-2003 workbook (".xls", BIFF8).
//
// The workbook is the stream "Workbook" (or "Book") of a compound file (compoundfile.h). Its
// globals give the sheet list and the shared string table; the sheet's own records give its
// cells. Only values are read, never formats: a cell is a number, a text or empty.
//   NUMBER, RK, MULRK          numbers
//   LABELSST, LABEL            texts
//   BLANK, MULBLANK            empty cells
//   FORMULA                    its cached result: a number, a text (from the STRING record
//                              that follows), TRUE/FALSE as the numbers 1 and 0 (as Excel
//                              counts them in arithmetic), an error as an empty cell
//   BOOLERR                    likewise: booleans as 1 and 0, errors as empty cells
// A number that is not finite (no spreadsheet program writes one) reads as an empty cell.
//
// Everything is checked against the bytes given: damaged or hostile input gives an error text,
// never a crash or a hang, and memory stays in proportion to the input.

#include <QByteArray>
#include <QString>

#include <vector>

namespace corvane {

struct XlsCell
{
    enum class Kind
    {
        Empty,
        Number,
        Text
    };
    int row = 0;    // 0-based
    int column = 0; // 0-based
    Kind kind = Kind::Empty;
    double number = 0.0;
    QString text;
};

struct XlsSheetResult
{
    enum class Error
    {
        None,
        NotWorkbook, // not an Excel 97-2003 workbook at all (text, .xlsx, Excel 95, ...)
        NoSheet,     // a workbook without a worksheet of that name
        Password,    // the workbook is encrypted
        Damaged,     // a workbook whose structure does not hold together
    };
    // By row, then column; one entry per cell that the sheet holds (the last record wins when
    // two give the same cell).
    std::vector<XlsCell> cells;
    Error errorKind = Error::None;
    // What is wrong, without a file name, written to follow "The file is ..." for NotWorkbook
    // and Password ("not an Excel 97-2003 workbook (.xls)") and as a plain clause otherwise
    // ("no sheet named BendTbl", "the workbook is damaged: ...").
    QString error;

    bool ok() const { return errorKind == Error::None; }
};

// The cells of the worksheet named sheetName (compared without regard to case).
XlsSheetResult readXlsSheet(const QByteArray &bytes, const QString &sheetName);

} // namespace corvane
