#include "bendtable/bendtable.h"

#include "xlsbuilder.h"
#include "bendtable/xlsreader.h"
#include "shell/ground/numbers.h"
#include "testsupport.h"

#include <QVariant>

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <tuple>

namespace corvane {
namespace {

using test::readBytes;

std::string str(const QStringList &list)
{
    return list.join(u'|').toStdString();
}

BendValue num(double value)
{
    return BendValue::fromNumber(value);
}
BendValue txt(const char *value)
{
    return BendValue::fromText(QString::fromUtf8(value));
}
BendValue none()
{
    return BendValue::empty();
}

BendRecord record(BendValue material, BendValue thickness, BendValue vee, BendValue standard = {},
                  BendValue kFactor = num(0.4), BendValue internalRadius = num(2),
                  BendValue version = {})
{
    return {std::move(material), std::move(thickness),      std::move(vee),    std::move(standard),
            std::move(kFactor),  std::move(internalRadius), std::move(version)};
}

// A workbook of one sheet BendTbl: a double is a number cell, a text a text cell, an invalid
// QVariant no cell.
QByteArray workbook(const std::vector<std::vector<QVariant>> &rows,
                    const QString &sheet = QStringLiteral("BendTbl"))
{
    QByteArray records;
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < int(rows[r].size()); ++c) {
            const QVariant &v = rows[r][c];
            if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int)
                records += test::numberCell(r, c, v.toDouble());
            else if (v.typeId() == QMetaType::QString)
                records += test::labelCell(r, c, v.toString(), true);
        }
    }
    return test::simpleWorkbook(sheet, records);
}

const std::vector<QVariant> kHeader = {"material", "thickness",       "vee",    "standard",
                                       "k_factor", "internal_radius", "version"};

TEST(BendTable, EmptyTableAnswersNothing)
{
    for (const BendTableLoad &load : {BendTableLoad{std::make_shared<const BendTable>(), {}, {}},
                                      BendTable::fromWorkbook(workbook({kHeader})),
                                      BendTable::fromWorkbook(readBytes(QStringLiteral(
                                          CORVANE_SOURCE_DIR "/tests/bendtable/data/"
                                                             "headers-only-xlwt.xls")))}) {
        ASSERT_TRUE(load.ok()) << load.error.toStdString();
        const BendTable &table = *load.table;
        EXPECT_TRUE(table.records().empty());
        EXPECT_EQ(table.version(), QString());
        EXPECT_TRUE(table.materials().isEmpty());
        EXPECT_TRUE(table.thicknesses(QStringLiteral("MS")).isEmpty());
        EXPECT_TRUE(table.vees(QStringLiteral("MS"), 1.0).isEmpty());
        EXPECT_EQ(table.lookup(QStringLiteral("MS"), 1.0f, 6.0f).status,
                  BendLookup::Status::NoRecord);
    }
}

TEST(BendTable, VersionIsThatOfTheFirstRecordOnly)
{
    struct Case
    {
        BendValue first;
        BendValue second;
        const char *version;
    };
    const std::vector<Case> cases = {
        {txt("2026.12"), txt("other"), "2026.12"},
        {num(2026.12), none(), "2026.12"},
        {num(7), none(), "7"},
        {none(), txt("2026.12"), ""},
    };
    for (const Case &c : cases) {
        BendRecord first = record(txt("MS"), num(1), num(6));
        first.version = c.first;
        BendRecord second = record(txt("MS"), num(1), num(8));
        second.version = c.second;
        const BendTable table({first, second});
        EXPECT_EQ(table.version(), QString::fromUtf8(c.version)) << c.version;
    }
}

TEST(BendTable, MaterialsAreDistinctWithoutRegardToCaseAscendingAndNeverEmpty)
{
    const BendTable table({record(txt("SS304"), num(1), num(8)), record(txt("ms"), num(1), num(6)),
                           record(txt("MS"), num(2), num(12)), record(txt(""), num(1), num(6)),
                           record(none(), num(1), num(6)), record(txt("AL5052"), num(1), num(6)),
                           record(txt("Ss304"), num(3), num(25))});
    EXPECT_EQ(str(table.materials()), "AL5052|ms|SS304");
}

TEST(BendTable, ThicknessesAreDistinctAndAscending)
{
    struct Case
    {
        const char *name;
        std::vector<BendValue> thicknesses;
        const char *expected;
    };
    const std::vector<Case> cases = {
        {"numbers by value",
         {num(2), num(1.5), num(10), num(1.5), none(), num(0.8)},
         "0.8|1.5|2|10"},
        {"texts as text, without regard to case",
         {txt("2"), txt("10"), txt("1.5"), txt("b"), txt("B"), txt("A")},
         "1.5|10|2|A|b"},
        {"all empty", {none(), none()}, ""},
    };
    for (const Case &c : cases) {
        std::vector<BendRecord> records;
        for (const BendValue &t : c.thicknesses)
            records.push_back(record(txt("MS"), t, num(6)));
        records.push_back(record(txt("SS304"), num(5), num(40)));
        const BendTable table(std::move(records));
        EXPECT_EQ(str(table.thicknesses(QStringLiteral("MS"))), c.expected) << c.name;
        EXPECT_EQ(str(table.thicknesses(QStringLiteral("ms"))), c.expected) << c.name;
    }
    const BendTable table({record(txt("MS"), num(1), num(6))});
    EXPECT_TRUE(table.thicknesses(QStringLiteral("AL5052")).isEmpty());
    EXPECT_TRUE(table.thicknesses(QString()).isEmpty());
}

TEST(BendTable, VeesComeStandardFirstThenInSheetOrderWithDuplicates)
{
    const BendTable table({
        record(txt("MS"), num(2), num(16), txt("")),
        record(txt("MS"), num(2), num(12), txt("YES")),
        record(txt("MS"), num(3), num(25), txt("YES")),
        record(txt("MS"), num(2), num(20), txt("no")),
        record(txt("ms"), num(2), num(10), txt("yes")),
        record(txt("MS"), num(2), num(25), none()),
        record(txt("MS"), num(2), num(16), txt("")),
        record(txt("SS304"), num(2), num(16), txt("YES")),
    });
    EXPECT_EQ(str(table.vees(QStringLiteral("MS"), 2)), "12|10|20|16|16|25");
    EXPECT_EQ(str(table.vees(QStringLiteral("Ms"), 2)), "12|10|20|16|16|25");
    EXPECT_EQ(str(table.vees(QStringLiteral("MS"), 3)), "25");
    EXPECT_TRUE(table.vees(QStringLiteral("MS"), 4).isEmpty());
    EXPECT_TRUE(table.vees(QStringLiteral("AL5052"), 2).isEmpty());
}

TEST(BendTable, VeesWithoutAStandardKeepSheetOrder)
{
    const BendTable table({record(txt("MS"), num(1), num(8)), record(txt("MS"), num(1), num(6)),
                           record(txt("MS"), num(1), num(10)), record(txt("MS"), num(1), num(4))});
    EXPECT_EQ(str(table.vees(QStringLiteral("MS"), 1)), "8|6|10|4");
}

TEST(BendTable, ThicknessFromTheListFindsItsRecordsAgain)
{
    // The list's text is read by the numeric reading rule and written with 15 digits, as the
    // query does: 1.5 is found as 1.5, a text cell "1.5" in a column of texts as well.
    const BendTable numbers({record(txt("MS"), num(1.5), num(10)),
                             record(txt("MS"), num(0.8), num(6)),
                             record(txt("MS"), num(12.75), num(100))});
    EXPECT_EQ(str(numbers.thicknesses(QStringLiteral("MS"))), "0.8|1.5|12.75");
    for (const QString &item : numbers.thicknesses(QStringLiteral("MS")))
        EXPECT_EQ(numbers.vees(QStringLiteral("MS"), readNumber(item)).size(), 1)
            << item.toStdString();
    EXPECT_EQ(str(numbers.vees(QStringLiteral("MS"), 1.5)), "10");
    EXPECT_TRUE(numbers.vees(QStringLiteral("MS"), 1.49).isEmpty());

    // A cell that 15 digits cannot write: 2.0000000000000004 is listed as "2", which denotes 2,
    // another number than the cell's, as the query finds it.
    const BendTable odd({record(txt("MS"), num(2.0000000000000004), num(12))});
    EXPECT_EQ(str(odd.thicknesses(QStringLiteral("MS"))), "2");
    EXPECT_TRUE(odd.vees(QStringLiteral("MS"), 2.0).isEmpty());

    const BendTable texts(
        {record(txt("MS"), txt(" 1.5 "), txt("10")), record(txt("MS"), txt("1.5 mm"), txt("12"))});
    EXPECT_EQ(str(texts.vees(QStringLiteral("MS"), 1.5)), "10");
}

TEST(BendTable, LookupFindsExactlyOneRecord)
{
    const BendTable table({
        record(txt("MS"), num(2), num(16), txt("YES"), num(0.43), num(2.56)),
        record(txt("MS"), num(2), num(12), txt("yes"), num(0.38), num(1.92)),
        record(txt("MS"), num(2), num(20), txt("YES "), num(0.43), num(3.2)),
        record(txt("MS"), num(1.2), num(8), txt(""), num(0.43), num(1.28)),
        record(txt("MS"), num(3), num(25)),
        record(txt("MS"), num(3), num(25)),
        record(txt("MS"), num(4), num(32), txt(""), none(), num(5.12)),
        record(txt("MS"), num(4), num(40), txt(""), num(0.43), txt("n/a")),
        record(txt("MS"), num(4), num(50), txt(""), txt(" 0.5 "), txt("8")),
        record(txt("MS"), num(5), num(40), txt(""), num(0.43), num(1e300)),
        record(none(), num(6), num(50)),
        record(txt("AL5052"), txt("0.8"), txt("6"), txt("YES"), num(0.36), num(0.84)),
    });
    struct Case
    {
        const char *material;
        float thickness;
        float vee;
        BendLookup::Status status;
        float kFactor;
        float internalRadius;
        bool standard;
    };
    using S = BendLookup::Status;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Case> cases = {
        {"MS", 2, 16, S::Found, 0.43f, 2.56f, true},
        {"ms", 2, 16, S::Found, 0.43f, 2.56f, true},
        {"MS", 2, 12, S::Found, 0.38f, 1.92f, true},
        {"MS", 2, 20, S::Found, 0.43f, 3.2f, false}, // "YES " is not "YES"
        // The single 1.2 is written 1.2 and matches the cell 1.2, which it does not equal.
        {"MS", 1.2f, 8, S::Found, 0.43f, 1.28f, false},
        {"MS", 2, 14, S::NoRecord, 0, 0, false},
        {"MS", 2, 0, S::NoRecord, 0, 0, false}, // an empty vee reads as 0
        {"MS", 3, 25, S::SeveralRecords, 0, 0, false},
        {"MS", 4, 32, S::EmptyValues, 0, 0, false},
        {"MS", 4, 40, S::EmptyValues, 0, 0, false},
        {"MS", 4, 50, S::Found, 0.5f, 8, false},
        {"MS", 5, 40, S::EmptyValues, 0, 0, false}, // no single holds 1e300
        {"", 6, 50, S::NoRecord, 0, 0, false},
        {"AL5052", 0.8f, 6, S::Found, 0.36f, 0.84f, true},
        {"SS304", 2, 16, S::NoRecord, 0, 0, false},
        {"MS", nan, 16, S::NoRecord, 0, 0, false},
        {"MS", 2, std::numeric_limits<float>::infinity(), S::NoRecord, 0, 0, false},
    };
    for (const Case &c : cases) {
        const BendLookup found = table.lookup(QString::fromUtf8(c.material), c.thickness, c.vee);
        const std::string name = std::string(c.material) + " " +
                                 singleText(c.thickness).toStdString() + " " +
                                 singleText(c.vee).toStdString();
        EXPECT_EQ(found.status, c.status) << name;
        EXPECT_EQ(found.found(), c.status == S::Found) << name;
        if (c.status == S::Found) {
            EXPECT_EQ(found.kFactor, c.kFactor) << name;
            EXPECT_EQ(found.internalRadius, c.internalRadius) << name;
            EXPECT_EQ(found.standard, c.standard) << name;
        }
    }
    // Two records of one material, thickness and vee: the lookup fails, the list shows both.
    EXPECT_EQ(str(table.vees(QStringLiteral("MS"), 3)), "25|25");
}

TEST(BendTable, ColumnsAreFoundByNameAnywhereInTheFirstUsedRow)
{
    // The header row is the first that holds anything, its names in any case and order, with
    // blanks around them and other columns between; version is optional.
    const BendTableLoad load = BendTable::fromWorkbook(workbook({
        {},
        {QVariant(), "Notes", " VEE ", "Material", "THICKNESS", "Internal_Radius", "K_Factor",
         "standard"},
        {QVariant(), "first", 16.0, "MS", 2.0, 2.56, 0.43, "YES"},
        {},
        {QVariant(), "a note only"},
        {QVariant(), QVariant(), 12.0, "MS", 2.0, 1.92, 0.38},
    }));
    ASSERT_TRUE(load.ok()) << load.error.toStdString();
    const BendTable &table = *load.table;
    EXPECT_EQ(table.records().size(), 3u); // the empty row is skipped, the note's row is not
    EXPECT_EQ(table.version(), QString());
    EXPECT_EQ(str(table.vees(QStringLiteral("MS"), 2)), "16|12");
    const BendLookup found = table.lookup(QStringLiteral("MS"), 2, 12);
    EXPECT_TRUE(found.found());
    EXPECT_EQ(found.internalRadius, 1.92f);
}

TEST(BendTable, EveryRequiredColumnMustBeThere)
{
    const std::vector<QVariant> all = {"material", "thickness", "vee",
                                       "standard", "k_factor",  "internal_radius"};
    for (size_t missing = 0; missing < all.size(); ++missing) {
        std::vector<QVariant> header = all;
        header[missing] = QStringLiteral("something else");
        const BendTableLoad load = BendTable::fromWorkbook(workbook({header, {"MS", 1.0}}));
        EXPECT_EQ(load.errorKind, BendTableLoad::Error::NoColumn);
        EXPECT_EQ(load.error, QStringLiteral("no column %1").arg(all[missing].toString()));
        ASSERT_TRUE(load.table);
        EXPECT_TRUE(load.table->records().empty());
    }
    const BendTableLoad empty = BendTable::fromWorkbook(workbook({}));
    EXPECT_EQ(empty.error, QStringLiteral("no column material"));
}

TEST(BendTable, ColumnOfNumbersAndTextsIsReadAsText)
{
    const BendTableLoad load = BendTable::fromWorkbook(
        readBytes(QStringLiteral(CORVANE_SOURCE_DIR "/tests/bendtable/data/mixed-xlwt.xls")));
    ASSERT_TRUE(load.ok()) << load.error.toStdString();
    const BendTable &table = *load.table;
    ASSERT_EQ(table.records().size(), 5u);
    // thickness holds 1.5, "2", "2.5 mm" and 1e-05: all texts, numbers in their general text.
    QStringList thickness;
    for (const BendRecord &r : table.records()) {
        EXPECT_EQ(r.thickness.kind, BendValue::Kind::Text);
        thickness.append(r.thickness.text);
    }
    EXPECT_EQ(str(thickness), "1.5|2|2.5 mm|1E-05|1");
    EXPECT_EQ(table.records()[4].material.text, QStringLiteral("42"));
    // vee holds numbers only and stays a number column.
    EXPECT_EQ(table.records()[0].vee.kind, BendValue::Kind::Number);
    EXPECT_EQ(table.version(), QStringLiteral("7"));
    EXPECT_EQ(str(table.materials()), "42|MS");
    EXPECT_EQ(str(table.thicknesses(QStringLiteral("MS"))), "1.5|1E-05|2|2.5 mm");
    EXPECT_EQ(str(table.vees(QStringLiteral("MS"), 2)), "12");
    EXPECT_TRUE(table.vees(QStringLiteral("MS"), 2.5).isEmpty());
    // standard mixes "YES" with 1 and 0; the empty text is an empty cell, listed last.
    EXPECT_TRUE(table.lookup(QStringLiteral("MS"), 1.5f, 10).standard);
    const BendLookup two = table.lookup(QStringLiteral("MS"), 2, 12);
    EXPECT_TRUE(two.found());
    EXPECT_EQ(two.kFactor, 0.4f);
    EXPECT_EQ(table.lookup(QStringLiteral("MS"), 2.5f, 16).status, BendLookup::Status::NoRecord);
    const BendLookup small = table.lookup(QStringLiteral("MS"), 1e-05f, 20);
    EXPECT_TRUE(small.found());
    EXPECT_EQ(small.internalRadius, 3.2f);
}

TEST(BendTable, WorkbookErrorsComeWithTheirKind)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        BendTableLoad::Error kind;
        const char *error;
    };
    const std::vector<Case> cases = {
        {"text", "material;thickness\n", BendTableLoad::Error::NotWorkbook,
         "not an Excel 97-2003 workbook (.xls)"},
        {"other sheet", workbook({kHeader}, QStringLiteral("Sheet1")),
         BendTableLoad::Error::NoSheet, "no sheet named BendTbl"},
        {"password",
         readBytes(QStringLiteral(CORVANE_SOURCE_DIR "/tests/bendtable/data/password-xlwt.xls")),
         BendTableLoad::Error::Password, "protected by a password"},
        {"damaged", workbook({kHeader}).left(1000), BendTableLoad::Error::Damaged,
         "the workbook is damaged: "},
    };
    for (const Case &c : cases) {
        const BendTableLoad load = BendTable::fromWorkbook(c.bytes);
        EXPECT_EQ(load.errorKind, c.kind) << c.name;
        EXPECT_TRUE(load.error.startsWith(QString::fromUtf8(c.error)))
            << c.name << ": " << load.error.toStdString();
        ASSERT_TRUE(load.table) << c.name;
        EXPECT_TRUE(load.table->records().empty()) << c.name;
    }
}

TEST(BendTable, DefaultTableIsConsistent)
{
    const BendTableLoad load =
        BendTable::fromWorkbook(readBytes(QStringLiteral(CORVANE_SOURCE_DIR "/data/BendTbl.xls")));
    ASSERT_TRUE(load.ok()) << load.error.toStdString();
    const BendTable &table = *load.table;
    EXPECT_FALSE(table.version().isEmpty());
    EXPECT_EQ(str(table.materials()), "AL5052|MS|SS304");
    for (const QString &material : table.materials()) {
        const QStringList thicknesses = table.thicknesses(material);
        EXPECT_GE(thicknesses.size(), 5) << material.toStdString();
        for (const QString &thickness : thicknesses) {
            const QStringList vees = table.vees(material, readNumber(thickness));
            const std::string name = (material + u' ' + thickness).toStdString();
            ASSERT_GE(vees.size(), 2) << name;
            // One standard vee, listed first; every vee found by the bend calculation.
            int standards = 0;
            for (int i = 0; i < vees.size(); ++i) {
                const BendLookup found =
                    table.lookup(material, readSingle(thickness), readSingle(vees[i]));
                ASSERT_TRUE(found.found()) << name << " vee " << vees[i].toStdString();
                EXPECT_GT(found.kFactor, 0.3f) << name;
                EXPECT_LE(found.kFactor, 0.5f) << name;
                EXPECT_GT(found.internalRadius, 0.0f) << name;
                standards += found.standard;
                EXPECT_EQ(found.standard, i == 0) << name;
            }
            EXPECT_EQ(standards, 1) << name;
        }
    }
}

TEST(BendTable, LargeTableAnswersEveryRecord)
{
    std::vector<BendRecord> records;
    for (int i = 0; i < 10000; ++i)
        records.push_back(record(BendValue::fromText(QStringLiteral("M%1").arg(i % 100)),
                                 num(0.5 + (i / 100) % 20 * 0.25), num(4 + i / 2000),
                                 txt(i % 7 ? "" : "YES"), num(0.3 + i * 1e-5), num(i * 0.01)));
    const BendTable table(std::move(records));
    EXPECT_EQ(table.materials().size(), 100);
    for (size_t i = 0; i < table.records().size(); i += 37) {
        const BendRecord &r = table.records()[i];
        const BendLookup found =
            table.lookup(r.material.text, float(r.thickness.number), float(r.vee.number));
        ASSERT_TRUE(found.found()) << i;
        EXPECT_EQ(found.kFactor, float(r.kFactor.number)) << i;
    }
}

} // namespace
} // namespace corvane
