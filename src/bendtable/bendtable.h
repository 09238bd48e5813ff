#pragma once

// The bend table: the sheet "BendTbl" of the workbook BendTbl.xls that operators maintain.
//
// One record per row after the header row: material, thickness, vee, standard, k_factor,
// internal_radius and version, columns found by name without regard to case. A BendTable is an
// immutable snapshot of those records; it answers the five fixed queries of the program:
//   version()      the first record's version                       (status bar)
//   materials()    distinct materials, ascending                     (material list)
//   thicknesses()  distinct thicknesses of a material, ascending     (thickness list)
//   vees()         vees of a material and thickness, standard first  (vee lists)
//   lookup()       the one record of a material, thickness and vee   (bend calculation)
// Texts compare without regard to case. BendTableSource (bendtablesource.h) reads the workbook and
// hands out the snapshot of the file as last saved; fromWorkbook() turns a workbook's bytes into a
// table (through xlsreader.h), settling each column's type on the way.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace corvane {

// One cell of a record, after the column's type is settled: a column whose cells mix numbers and
// texts holds texts only.
struct BendValue
{
    enum class Kind
    {
        Empty,
        Number,
        Text
    };
    Kind kind = Kind::Empty;
    double number = 0.0;
    QString text;

    static BendValue empty() { return {}; }
    static BendValue fromNumber(double value) { return {Kind::Number, value, {}}; }
    static BendValue fromText(QString value) { return {Kind::Text, 0.0, std::move(value)}; }
    bool isEmpty() const { return kind == Kind::Empty; }
    // The value as a list shows it: a number as its general number text (12, 1.5), a text as it is.
    QString toText() const;
    // The number the value stands for, as the queries read it: a number, or a text that is a
    // number and nothing else, blanks around it aside; none for anything else.
    std::optional<double> toNumber() const;
};

// A record as the queries read it; the version column is the table's, read from the first record.
struct BendRecord
{
    BendValue material;
    BendValue thickness;
    BendValue vee;
    BendValue standard;
    BendValue kFactor;
    BendValue internalRadius;
};

class BendTable;
struct XlsCell;

// A table made from a workbook, or why none could be made.
struct BendTableLoad
{
    enum class Error
    {
        None,
        NotWorkbook, // not an Excel 97-2003 workbook
        NoSheet,     // no worksheet named BendTbl
        NoColumn,    // a required column is missing
        Password,    // the workbook is encrypted
        Damaged,     // a workbook that does not hold together
    };
    std::shared_ptr<const BendTable> table; // never null: an empty table on failure
    Error errorKind = Error::None;
    // Without a file name: "no column k_factor", "no sheet named BendTbl", "protected by a
    // password", "not an Excel 97-2003 workbook (.xls)", "the workbook is damaged: ...".
    QString error;

    bool ok() const { return errorKind == Error::None; }
};

struct BendLookup
{
    enum class Status
    {
        Found,    // exactly one record, with a K factor and an internal radius
        NoRecord, // no record of that material, thickness and vee
        SeveralRecords,
        EmptyValues, // one record, but its k_factor or internal_radius is empty or not a number
    };
    Status status = Status::NoRecord;
    float kFactor = 0.0f;
    float internalRadius = 0.0f;
    bool standard = false; // the record's standard reads "YES" in any case

    bool found() const { return status == Status::Found; }
};

class BendTable
{
public:
    BendTable();
    explicit BendTable(std::vector<BendRecord> records, QString version = {},
                       std::vector<int> rows = {});
    ~BendTable();
    BendTable(const BendTable &) = delete;
    BendTable &operator=(const BendTable &) = delete;

    static QString sheetName() { return QStringLiteral("BendTbl"); }
    // The sheet BendTbl of a workbook's bytes. Its first row that holds anything gives the column
    // names; each later row that holds anything is one record.
    static BendTableLoad fromWorkbook(const QByteArray &bytes);
    // The same from the cells of the sheet, by row and then column.
    static BendTableLoad fromCells(std::vector<XlsCell> cells);
    // The empty table that stands for a workbook that could not be read, and says why.
    static std::shared_ptr<const BendTable> unreadable(QString why);
    // Why the workbook could not be read, naming it; empty for a table that was read.
    const QString &readError() const { return m_readError; }

    const std::vector<BendRecord> &records() const { return m_records; }
    // The row of each record as a spreadsheet program numbers it (the first row is 1); empty for
    // a table made from records.
    const std::vector<int> &rows() const { return m_rows; }

    // The first record's version; empty when it has none or there is no record.
    QString version() const;
    // Every distinct material that is neither missing nor empty, ascending.
    QStringList materials() const;
    // Every distinct thickness of the material's records, ascending (numerically in a column of
    // numbers), as list texts.
    QStringList thicknesses(const QString &material) const;
    // The vee of every record of the material whose thickness equals the given one, as list texts.
    // The thickness is matched as the query text carries it: written as general number text with
    // 15 significant digits, and a cell matches the number that text denotes (a text cell when
    // its whole trimmed text reads as that number). Duplicates are kept; records whose standard
    // sorts highest come first (descending, without regard to case, empty last), equal standards
    // in sheet order; records without a vee are left out.
    QStringList vees(const QString &material, double thickness) const;
    // The one record of the material, thickness and vee, the two numbers matched as the query
    // text carries them (a single written with 7 significant digits: 1.2f matches the cell 1.2).
    BendLookup lookup(const QString &material, float thickness, float vee) const;

private:
    struct Index;
    std::vector<BendRecord> m_records;
    QString m_version;
    std::vector<int> m_rows;
    QString m_readError;
    std::unique_ptr<Index> m_index;
};

} // namespace corvane
