#include "bendtable/bendtable.h"

#include "ground/numbers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace corvane {
namespace {

using namespace test;

std::string str(const QStringList &list)
{
    return list.join(u'|').toStdString();
}

// A cell: a number, a text, or {} for an empty one.
struct V : BendValue
{
    V() = default;
    V(double number) : BendValue(fromNumber(number)) {}
    V(const char *text) : BendValue(fromText(QString::fromUtf8(text))) {}
};

BendRecord record(V material, V thickness, V vee, V standard = {}, V kFactor = 0.4,
                  V internalRadius = 2.0)
{
    return {material, thickness, vee, standard, kFactor, internalRadius};
}

const QStringList kHeader = {"material", "thickness",       "vee",    "standard",
                             "k_factor", "internal_radius", "version"};

TEST(BendTable, ListsAreDistinctAndAscendingWithoutRegardToCaseAndFindTheirRecordsAgain)
{
    // A material is listed as first spelled, never empty. Vees keep duplicates; standards sort
    // descending without regard to case, empty last, and equal ones keep sheet order.
    const BendTable table({record("SS304", 2, 16, "YES", 0.4, 2), record("ms", 2, 16, ""),
                           record("MS", 2, 12, "YES"), record("MS", 3, 25, "YES"),
                           record("MS", 2, 20, "no"), record("MS", 2, 10, "yes"),
                           record("MS", 2, 25, {}), record("MS", 2, 16, ""), record("MS", 10, 50),
                           record("MS", 0.8, 6), record("MS", {}, 8), record("CU", {}, 8),
                           record("", 1, 6), record({}, 1, 6), record("Ss304", 3, 25, "", 0.4, 2)});
    EXPECT_EQ(str(table.materials()), "CU|ms|SS304");
    EXPECT_EQ(str(table.thicknesses("MS")), "0.8|2|3|10");
    EXPECT_EQ(str(table.thicknesses("ss304")), "2|3");
    for (const char *material : {"CU", "", "AL5052"})
        EXPECT_TRUE(table.thicknesses(QString::fromUtf8(material)).isEmpty()) << material;
    EXPECT_EQ(str(table.vees("Ms", 2)), "12|10|20|16|16|25");
    EXPECT_EQ(str(table.vees("MS", 3)), "25");
    EXPECT_TRUE(table.vees("MS", 4).isEmpty() && table.vees("AL5052", 2).isEmpty());

    // Thicknesses in a column of texts sort as texts, without regard to case.
    std::vector<BendRecord> texts;
    for (const char *thickness : {"2", "10", "1.5", "b", "B", "A"})
        texts.push_back(record("MS", thickness, 6));
    EXPECT_EQ(str(BendTable(std::move(texts)).thicknesses("MS")), "1.5|10|2|A|b");

    // A thickness from the list finds its records again: its text, read and written with 15 digits
    // as the query does, finds 1.5, and a text cell " 1.5 " in a column of texts as well.
    const BendTable numbers(
        {record("MS", 1.5, 10), record("MS", 0.8, 6), record("MS", 12.75, 100)});
    for (const QString &item : numbers.thicknesses("MS"))
        EXPECT_EQ(numbers.vees("MS", readNumber(item)).size(), 1) << item.toStdString();
    EXPECT_TRUE(numbers.vees("MS", 1.49).isEmpty());
    // A query of 1.5000000000000002 is written "1.5", as the list shows it, and finds 1.5.
    EXPECT_EQ(str(numbers.vees("MS", 1.5000000000000002)), "10");

    const BendTable spaced({record("MS", " 1.5 ", "10"), record("MS", "1.5 mm", "12")});
    EXPECT_EQ(str(spaced.vees("MS", 1.5)), "10");
}

TEST(BendTable, LookupFindsExactlyOneRecord)
{
    const BendTable table(
        {record("MS", 2, 16, "YES", 0.43, 2.56), record("MS", 2, 12, "yes", 0.38, 1.92),
         record("MS", 2, 20, "YES ", 0.43, 3.2), record("MS", 1.2, 8, "", 0.43, 1.28),
         record("MS", 3, 25), record("MS", 3, 25), record("MS", 4, 32, "", {}, 5.12),
         record("MS", 4, 40, "", 0.43, "n/a"), record("MS", 4, 50, "", " 0.5 ", "8"),
         record("MS", 5, 40, "", 0.43, 1e300), record("MS", 0.0, 16), record("MS", 2, 0.0),
         record({}, 6, 50), record("AL5052", "0.8", "6", "YES", 0.36, 0.84)});
    using S = BendLookup::Status;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Material, thickness, vee; status, K factor, internal radius, standard.
    const std::tuple<const char *, float, float, S, float, float, bool> cases[] = {
        {"MS", 2, 16, S::Found, 0.43f, 2.56f, true},
        {"MS", 2, 12, S::Found, 0.38f, 1.92f, true},
        {"MS", 2, 20, S::Found, 0.43f, 3.2f, false}, // "YES " is not "YES"
        // The single 1.2 is written 1.2 and matches the cell 1.2, which it does not equal.
        {"MS", 1.2f, 8, S::Found, 0.43f, 1.28f, false},
        {"MS", 2, 14, S::NoRecord, 0, 0, false},
        {"MS", 3, 25, S::SeveralRecords, 0, 0, false},
        {"MS", 4, 32, S::EmptyValues, 0, 0, false},
        {"MS", 4, 40, S::EmptyValues, 0, 0, false},
        {"MS", 4, 50, S::Found, 0.5f, 8, false},
        {"MS", 5, 40, S::EmptyValues, 0, 0, false}, // no single holds 1e300
        {"", 6, 50, S::NoRecord, 0, 0, false},
        {"AL5052", 0.8f, 6, S::Found, 0.36f, 0.84f, true},
        // Not a number and infinity denote no thickness or vee, not the 0 that their texts read as.
        {"MS", nan, 16, S::NoRecord, 0, 0, false},
        {"MS", 2, std::numeric_limits<float>::infinity(), S::NoRecord, 0, 0, false},
    };
    for (const auto &[material, thickness, vee, status, kFactor, radius, standard] : cases) {
        const BendLookup found = table.lookup(QString::fromUtf8(material), thickness, vee);
        const bool ok = status == S::Found;
        EXPECT_EQ(std::tuple(found.status, found.kFactor, found.internalRadius, found.standard),
                  std::tuple(status, ok ? kFactor : 0, ok ? radius : 0, ok && standard))
            << material << ' ' << thickness << ' ' << vee;
    }
}

TEST(BendTable, ColumnsAreFoundByNameAnywhereInTheFirstUsedRowAndOfMixedCellsReadAsText)
{
    // The header row is the first that holds anything (empty texts are nothing), its names in any
    // case and order, with blanks around them and other columns between; version is optional.
    const BendTableLoad load = BendTable::fromWorkbook(textWorkbook({
        {"", ""},
        {"", "Notes", " VEE ", "Material", "THICKNESS", "Internal_Radius", "K_Factor", "standard"},
        {"", "first", "16", "MS", "2", "2.56", "0.43", "YES"},
        {},
        {"", "a note only"},
        {"", "", "12", "MS", "2", "1.92", "0.38"},
    }));
    ASSERT_TRUE(load.ok()) << load.error.toStdString();
    const BendTable &table = *load.table;
    EXPECT_EQ(table.records().size(), 3u); // the empty row is skipped, the note's row is not
    EXPECT_EQ(table.version(), QString());
    EXPECT_EQ(str(table.vees("MS", 2)), "16|12");
    EXPECT_EQ(table.lookup("MS", 2, 12).internalRadius, 1.92f);
    // The version is the first record's.
    const BendTableLoad versioned =
        BendTable::fromWorkbook(textWorkbook({kHeader,
                                              {"MS", "2", "16", "", "0.4", "2", "2026.12"},
                                              {"MS", "3", "25", "", "0.4", "2", "v2"}}));
    EXPECT_EQ(versioned.table->version(), "2026.12");

    // A column of numbers and texts is read as text: thickness holds 1.5, "2", "2.5 mm" and 1e-05,
    // all texts, the numbers in their general text.
    const BendTableLoad mixedLoad = BendTable::fromWorkbook(
        readBytes(CORVANE_SOURCE_DIR "/tests/bendtable/data/mixed-xlwt.xls"));
    ASSERT_TRUE(mixedLoad.ok()) << mixedLoad.error.toStdString();
    const BendTable &mixed = *mixedLoad.table;
    QStringList thickness;
    for (const BendRecord &r : mixed.records())
        thickness.append(r.thickness.kind == BendValue::Kind::Text ? r.thickness.text : "?");
    EXPECT_EQ(str(thickness), "1.5|2|2.5 mm|1E-05|1");
    // vee and version hold numbers only and stay number columns; how a lookup reads texts is
    // LookupFindsExactlyOneRecord's.
    EXPECT_EQ(mixed.records()[0].vee.kind, BendValue::Kind::Number);
    EXPECT_EQ(mixed.version(), "7");
}

// Each kind of workbook error is named by bendtablesource_test.cpp.
TEST(BendTable, AMissingColumnIsNamed)
{
    std::vector<std::pair<QByteArray, QString>> cases = {{textWorkbook({}), "material"}};
    for (int missing = 0; missing < kHeader.size() - 1; ++missing) {
        QStringList header = kHeader;
        header[missing] = QStringLiteral("something else");
        cases.emplace_back(textWorkbook({header, {"MS", "1"}}), kHeader[missing]);
    }
    for (const auto &[bytes, column] : cases) {
        const BendTableLoad load = BendTable::fromWorkbook(bytes);
        EXPECT_EQ(load.errorKind, BendTableLoad::Error::NoColumn);
        EXPECT_EQ(load.error, "no column " + column);
    }
}

} // namespace
} // namespace corvane
