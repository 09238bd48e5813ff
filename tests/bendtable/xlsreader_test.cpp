#include "bendtable/xlsreader.h"

#include "bendtable/compoundfile.h"
#include "xlsbuilder.h"
#include "testsupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <random>

namespace corvane {
namespace {

using namespace test;

QString fixturePath(const QString &name)
{
    return QStringLiteral(CORVANE_SOURCE_DIR "/tests/bendtable/data/") + name;
}

QString shortest(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// A cell as text, so that a failing comparison shows what differs: "2:5 number 0.43".
QString describe(int row, int column, const QString &kind, const QString &value = {})
{
    return QStringLiteral("%1:%2 %3 %4").arg(row).arg(column).arg(kind, value).trimmed();
}

QString describe(const XlsCell &cell)
{
    switch (cell.kind) {
    case XlsCell::Kind::Number:
        return describe(cell.row, cell.column, QStringLiteral("number"), shortest(cell.number));
    case XlsCell::Kind::Text:
        return describe(cell.row, cell.column, QStringLiteral("text"), cell.text);
    case XlsCell::Kind::Empty:
        break;
    }
    return describe(cell.row, cell.column, QStringLiteral("empty"));
}

// The cells that hold a value, described.
QStringList valueCells(const std::vector<XlsCell> &cells)
{
    QStringList out;
    for (const XlsCell &cell : cells) {
        if (cell.kind != XlsCell::Kind::Empty)
            out.append(describe(cell));
    }
    return out;
}

struct Expected
{
    QStringList values;             // as valueCells() describes them
    QList<QPair<int, int>> empties; // cells that python3-xlrd reads as errors
};

Expected expectedCells(const QString &jsonName)
{
    Expected expected;
    const QJsonObject root = QJsonDocument::fromJson(readBytes(fixturePath(jsonName))).object();
    for (const QJsonValue &item : root.value(QStringLiteral("cells")).toArray()) {
        const QJsonArray cell = item.toArray();
        const int row = cell[0].toInt();
        const int column = cell[1].toInt();
        const QString kind = cell[2].toString();
        if (kind == QLatin1String("number"))
            expected.values.append(
                describe(row, column, kind, shortest(cell[3].toString().toDouble())));
        else if (kind == QLatin1String("text"))
            expected.values.append(describe(row, column, kind, cell[3].toString()));
        else
            expected.empties.append({row, column});
    }
    return expected;
}

const XlsCell *cellAt(const std::vector<XlsCell> &cells, int row, int column)
{
    for (const XlsCell &cell : cells) {
        if (cell.row == row && cell.column == column)
            return &cell;
    }
    return nullptr;
}

// Each fixture, made by a different writer, reads as python3-xlrd reads it.
class XlsFixture : public ::testing::TestWithParam<const char *>
{};

TEST_P(XlsFixture, ReadsTheCellsThatXlrdReads)
{
    const QString name = QString::fromLatin1(GetParam());
    const QString xls = name == QLatin1String("default-bendtbl")
                            ? QStringLiteral(CORVANE_SOURCE_DIR "/data/BendTbl.xls")
                            : fixturePath(name + QStringLiteral(".xls"));
    const QByteArray bytes = readBytes(xls);
    ASSERT_FALSE(bytes.isEmpty()) << xls.toStdString();
    const XlsSheetResult result = readXlsSheet(bytes, QStringLiteral("BendTbl"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();

    const Expected expected = expectedCells(name + QStringLiteral(".json"));
    ASSERT_FALSE(expected.values.isEmpty());
    const QStringList actual = valueCells(result.cells);
    ASSERT_EQ(actual.size(), expected.values.size());
    for (int i = 0; i < actual.size(); ++i)
        EXPECT_EQ(actual[i], expected.values[i]) << "cell " << i;
    for (const auto &[row, column] : expected.empties) {
        const XlsCell *cell = cellAt(result.cells, row, column);
        EXPECT_TRUE(cell == nullptr || cell->kind == XlsCell::Kind::Empty) << row << ":" << column;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Writers, XlsFixture,
    ::testing::Values("basic-xlwt", "mixed-xlwt", "headers-only-xlwt", "sheets-xlwt", "sst-xlwt",
                      "formulas-lo", "strings-lo", "default-bendtbl"),
    [](const ::testing::TestParamInfo<const char *> &info) {
        return QString::fromLatin1(info.param).replace(u'-', u'_').toStdString();
    });

TEST(XlsReader, EveryKindOfCellRecord)
{
    const QString wide = QStringLiteral("\u4e0d\u9508\u94a2 304");
    const QByteArray records =
        numberCell(0, 0, 1.5) + rkCell(0, 1, (quint32(-7) << 2) | 2) // integer -7
        + rkCell(0, 2, (1234u << 2) | 3)                             // 12.34
        + rkCell(0, 3, 0x3FE00000) // the high half of the double 0.5
        + mulRkCells(1, 2, {(1u << 2) | 2, (2u << 2) | 2, (250u << 2) | 3}) +
        labelCell(2, 0, QStringLiteral("Stahl \u00bd"), false) + labelCell(2, 1, wide, true) +
        labelSstCell(2, 2, 1) + blankCell(2, 3) + boolErrCell(3, 0, 1, false) +
        boolErrCell(3, 1, 0, false) + boolErrCell(3, 2, 0x07, true) +
        formulaNumberCell(4, 0, 0.33) + formulaSpecialCell(4, 1, 1, 1) +
        formulaSpecialCell(4, 2, 2, 0x2A) + formulaSpecialCell(4, 3, 3, 0) +
        formulaSpecialCell(4, 4, 0, 0) + biffRecord(0x04BC, QByteArray(10, '\0')) +
        stringRecord(QStringLiteral("from formula")) + formulaSpecialCell(4, 5, 0, 0) +
        stringRecord(QStringLiteral("abcdef\u20ac"), 3, true)
        // A chart on the sheet: its records are not the sheet's.
        + bofRecord(0x0020) + numberCell(9, 9, 99) +
        eofRecord()
        // The last record for a cell stands.
        + numberCell(5, 0, 1) + numberCell(5, 0, 2) +
        numberCell(6, 0, std::numeric_limits<double>::quiet_NaN()) +
        numberCell(6, 1, std::numeric_limits<double>::infinity())
        // A cell of an earlier row at the end: the cells still come by row.
        + numberCell(1, 0, 8);
    const QByteArray globals = sstRecords({QStringLiteral("zero"), QStringLiteral("one")});
    const XlsSheetResult result = readXlsSheet(
        simpleWorkbook(QStringLiteral("BendTbl"), records, globals), QStringLiteral("BendTbl"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();

    QStringList all;
    for (const XlsCell &cell : result.cells)
        all.append(describe(cell));
    const QStringList expected = {
        "0:0 number 1.5",        "0:1 number -7",    "0:2 number 12.34", "0:3 number 0.5",
        "1:0 number 8",          "1:2 number 1",     "1:3 number 2",     "1:4 number 2.5",
        "2:0 text Stahl \u00bd", "2:1 text " + wide, "2:2 text one",     "2:3 empty",
        "3:0 number 1",          "3:1 number 0",     "3:2 empty",        "4:0 number 0.33",
        "4:1 number 1",          "4:2 empty",        "4:3 text",         "4:4 text from formula",
        "4:5 text abcdef\u20ac", "5:0 number 2",     "6:0 empty",        "6:1 empty"};
    EXPECT_EQ(all.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}

TEST(XlsReader, SharedStringsSplitAcrossContinueRecords)
{
    // Records of 40 bytes: texts run over into the next record, once changing from one byte per
    // character to two there, once with the header alone at the end of a record.
    QStringList texts;
    for (int i = 0; i < 30; ++i)
        texts.append(QStringLiteral("text number %1 of the table").arg(i));
    texts.append(QStringLiteral("\u0394\u03b5\u03bb\u03c4\u03b1 wide and long enough to split"));
    texts.append(QStringLiteral("x"));
    QByteArray records;
    for (int i = 0; i < texts.size(); ++i)
        records += labelSstCell(i, 0, quint32(i));
    for (int maxData : {40, 41, 43, 8224}) {
        const XlsSheetResult result = readXlsSheet(
            simpleWorkbook(QStringLiteral("BendTbl"), records, sstRecords(texts, maxData)),
            QStringLiteral("BendTbl"));
        ASSERT_TRUE(result.ok()) << maxData << ": " << result.error.toStdString();
        ASSERT_EQ(result.cells.size(), size_t(texts.size())) << maxData;
        for (int i = 0; i < texts.size(); ++i)
            EXPECT_EQ(result.cells[i].text, texts[i]) << maxData << " text " << i;
    }
}

TEST(XlsReader, SharedStringsSkipRichTextRunsAndPhoneticData)
{
    // "Rich" with two formatting runs and 6 bytes of phonetic data, split so that the runs and
    // the phonetic data continue in the next record; then "Next".
    const QByteArray first = le32(2) + le32(2) + le16(4) + char(0x0C) + le16(2) + le32(6) +
                             QByteArray("Rich") + le32(0x00010000);
    const QByteArray second =
        le32(0x00020003) + QByteArray(6, 'p') + le16(4) + char(0) + QByteArray("Next");
    const QByteArray globals = biffRecord(0x00FC, first) + biffRecord(0x003C, second);
    const XlsSheetResult result =
        readXlsSheet(simpleWorkbook(QStringLiteral("BendTbl"),
                                    labelSstCell(0, 0, 0) + labelSstCell(0, 1, 1), globals),
                     QStringLiteral("BendTbl"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    ASSERT_EQ(result.cells.size(), 2u);
    EXPECT_EQ(result.cells[0].text, QStringLiteral("Rich"));
    EXPECT_EQ(result.cells[1].text, QStringLiteral("Next"));
}

TEST(XlsReader, SheetIsFoundByNameWithoutRegardToCase)
{
    const QByteArray stream =
        workbookStream({}, {{QStringLiteral("Chart1"), numberCell(0, 0, 5), 0x0020},
                            {QStringLiteral("Notes"), numberCell(0, 0, 1)},
                            {QStringLiteral("bendtbl"), numberCell(0, 0, 2)}});
    const QByteArray file = compoundFile({{QStringLiteral("Workbook"), stream}});
    const XlsSheetResult found = readXlsSheet(file, QStringLiteral("BendTbl"));
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    ASSERT_EQ(found.cells.size(), 1u);
    EXPECT_EQ(found.cells[0].number, 2.0);

    const XlsSheetResult missing = readXlsSheet(file, QStringLiteral("Other"));
    EXPECT_EQ(missing.errorKind, XlsSheetResult::Error::NoSheet);
    EXPECT_EQ(missing.error, QStringLiteral("no sheet named Other"));
    EXPECT_TRUE(missing.cells.empty());

    const XlsSheetResult chart = readXlsSheet(file, QStringLiteral("Chart1"));
    EXPECT_EQ(chart.errorKind, XlsSheetResult::Error::NoSheet);
}

TEST(XlsReader, StreamInTheMiniStreamOrInSectorsOfEitherSizeReadsAlike)
{
    // A few cells fit in the mini stream; a long text in the globals pushes the same sheet past
    // the 4096 bytes from which a stream takes sectors of its own.
    const QByteArray records = numberCell(0, 0, 2.5) + labelCell(0, 1, QStringLiteral("MS"), false);
    const QByteArray small = workbookStream({}, {{QStringLiteral("BendTbl"), records}});
    const QByteArray large = workbookStream(biffRecord(0x00E0, QByteArray(6000, 'x')).repeated(1),
                                            {{QStringLiteral("BendTbl"), records}});
    for (const QByteArray &stream : {small, large}) {
        for (int version : {3, 4}) {
            for (const char *name : {"Workbook", "Book", "WORKBOOK"}) {
                const QByteArray file =
                    compoundFile({{QStringLiteral("\x05SummaryInformation"), QByteArray(200, 's')},
                                  {QString::fromLatin1(name), stream}},
                                 version);
                const XlsSheetResult result = readXlsSheet(file, QStringLiteral("BendTbl"));
                ASSERT_TRUE(result.ok()) << version << name << result.error.toStdString();
                EXPECT_EQ(valueCells(result.cells).join(u'|').toStdString(),
                          "0:0 number 2.5|0:1 text MS")
                    << "version " << version << " stream " << stream.size();
            }
        }
    }
}

TEST(XlsReader, FatListedPartlyInDifatSectors)
{
    // Over 109 FAT sectors (7 MB of 512-byte sectors): the header lists 109, DIFAT sectors the
    // rest.
    CompoundLayout layout;
    const QByteArray file =
        compoundFile({{QStringLiteral("Padding"), QByteArray(7400 * 1024, 'p')},
                      {QStringLiteral("Workbook"),
                       workbookStream({}, {{QStringLiteral("BendTbl"), numberCell(3, 4, 42)}})}},
                     3, &layout);
    ASSERT_GT(qFromLittleEndian<quint32>(file.constData() + 0x48), 0u);
    const XlsSheetResult result = readXlsSheet(file, QStringLiteral("BendTbl"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(valueCells(result.cells).join(u'|').toStdString(), "3:4 number 42");
}

// The workbook stream in sectors of its own, and the layout to damage it by.
QByteArray largeWorkbook(CompoundLayout &layout)
{
    const QByteArray stream = workbookStream(biffRecord(0x00E0, QByteArray(6000, 'x')),
                                             {{QStringLiteral("BendTbl"), numberCell(0, 0, 1)}});
    return compoundFile({{QStringLiteral("Workbook"), stream}}, 3, &layout);
}

TEST(XlsReader, DamagedContainersGiveErrors)
{
    struct Case
    {
        const char *name;
        std::function<void(QByteArray &, const CompoundLayout &)> damage;
        const char *errorPart;
    };
    const auto put32 = [](QByteArray &file, qint64 at, quint32 value) {
        file.replace(at, 4, le32(value));
    };
    const std::vector<Case> cases = {
        {"stream chain loops",
         [&](QByteArray &f, const CompoundLayout &l) {
             put32(f, l.firstFatSectorOffset + 4 * (l.streamStarts[0] + 3), l.streamStarts[0] + 1);
         },
         "loops"},
        {"stream chain leaves the FAT",
         [&](QByteArray &f, const CompoundLayout &l) {
             put32(f, l.firstFatSectorOffset + 4 * l.streamStarts[0], 0x00FFFFFF);
         },
         "leaves the file"},
        {"stream chain ends early",
         [&](QByteArray &f, const CompoundLayout &l) {
             put32(f, l.firstFatSectorOffset + 4 * l.streamStarts[0], 0xFFFFFFFE);
         },
         "ends too early"},
        {"directory beyond the file",
         [&](QByteArray &f, const CompoundLayout &) { put32(f, 0x30, 0x00100000); },
         "leaves the file"},
        {"stream larger than the file",
         [&](QByteArray &f, const CompoundLayout &l) {
             put32(f, l.directoryOffset + 128 + 0x78, 0x7FFFFFF0);
         },
         "larger than the file"},
        {"FAT sector count impossible",
         [&](QByteArray &f, const CompoundLayout &) { put32(f, 0x2C, 0x10000000); },
         "impossible FAT size"},
        {"FAT sector outside the file",
         [&](QByteArray &f, const CompoundLayout &) { put32(f, 0x4C, 0x00FFFFF0); },
         "FAT sector lies outside"},
        {"unknown sector size",
         [&](QByteArray &f, const CompoundLayout &) { f.replace(0x1E, 2, le16(10)); },
         "sector size"},
        {"first entry not the root",
         [&](QByteArray &f, const CompoundLayout &l) { f[l.directoryOffset + 0x42] = 1; },
         "root storage"},
    };
    for (const Case &c : cases) {
        CompoundLayout layout;
        QByteArray file = largeWorkbook(layout);
        ASSERT_TRUE(readXlsSheet(file, QStringLiteral("BendTbl")).ok());
        c.damage(file, layout);
        const XlsSheetResult result = readXlsSheet(file, QStringLiteral("BendTbl"));
        EXPECT_EQ(result.errorKind, XlsSheetResult::Error::Damaged) << c.name;
        EXPECT_TRUE(result.error.startsWith(QStringLiteral("the workbook is damaged: ")))
            << c.name << ": " << result.error.toStdString();
        EXPECT_TRUE(result.error.contains(QLatin1String(c.errorPart)))
            << c.name << ": " << result.error.toStdString();
    }
}

TEST(XlsReader, DamagedRecordsGiveErrors)
{
    struct Case
    {
        const char *name;
        QByteArray globals;
        QByteArray sheet;
        bool endSheet;
    };
    const std::vector<Case> cases = {
        {"text cell refers past the shared strings", sstRecords({"a"}), labelSstCell(0, 0, 1),
         true},
        {"shared string cut short",
         biffRecord(0x00FC, le32(1) + le32(1) + le16(10) + char(0) + "abc"),
         {},
         true},
        {"number cell too short", {}, biffRecord(0x0203, QByteArray(8, '\0')), true},
        {"text cell runs past its record",
         {},
         biffRecord(0x0204, le16(0) + le16(0) + le16(0) + le16(50) + char(0) + "abc"),
         true},
        {"sheet without its end", {}, numberCell(0, 0, 1), false},
        {"formula text cut short",
         {},
         formulaSpecialCell(0, 0, 0, 0) + biffRecord(0x0207, le16(9) + char(0) + "abc"),
         true},
    };
    for (const Case &c : cases) {
        QByteArray stream = workbookStream(c.globals, {{QStringLiteral("BendTbl"), c.sheet}});
        if (!c.endSheet)
            stream.chop(4);
        const XlsSheetResult result = readXlsSheet(
            compoundFile({{QStringLiteral("Workbook"), stream}}), QStringLiteral("BendTbl"));
        EXPECT_EQ(result.errorKind, XlsSheetResult::Error::Damaged) << c.name;
        EXPECT_TRUE(result.cells.empty()) << c.name;
        EXPECT_FALSE(result.error.isEmpty()) << c.name;
    }
}

TEST(XlsReader, FilesThatAreNoExcel97WorkbookAreNamed)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        const char *error;
    };
    const QByteArray biff5 =
        compoundFile({{QStringLiteral("Book"), bofRecord(0x0005, 0x0500) + eofRecord() +
                                                   bofRecord(0x0010, 0x0500) + eofRecord()}});
    const std::vector<Case> cases = {
        {"empty file", {}, "empty, not an Excel 97-2003 workbook (.xls)"},
        {"CSV text", "material,thickness,vee\nMS,2,16\n", "not an Excel 97-2003 workbook (.xls)"},
        {"zip (.xlsx)", QByteArray("PK\x03\x04\x14\x00\x06\x00", 8) + QByteArray(100, 'z'),
         "an Excel 2007 or later workbook (.xlsx) or another zip file, not an Excel 97-2003 "
         "workbook (.xls)"},
        {"Excel 4.0 worksheet", bofRecord(0x0010, 0x0400).replace(0, 2, le16(0x0409)),
         "an Excel 4.0 or older workbook, not an Excel 97-2003 workbook (.xls); save it again "
         "in the Excel 97-2003 format"},
        {"Excel 95 workbook", biff5,
         "an Excel 5.0/95 workbook, not an Excel 97-2003 workbook (.xls); save it again in the "
         "Excel 97-2003 format"},
        {"compound file of another program",
         compoundFile({{QStringLiteral("WordDocument"), QByteArray(100, 'w')}}),
         "a compound document without a workbook, not an Excel 97-2003 workbook (.xls)"},
        {"workbook stream of no BIFF", compoundFile({{QStringLiteral("Workbook"), "hello"}}),
         "not an Excel 97-2003 workbook (.xls)"},
    };
    for (const Case &c : cases) {
        const XlsSheetResult result = readXlsSheet(c.bytes, QStringLiteral("BendTbl"));
        EXPECT_EQ(result.errorKind, XlsSheetResult::Error::NotWorkbook) << c.name;
        EXPECT_EQ(result.error, QString::fromUtf8(c.error)) << c.name;
    }
}

TEST(XlsReader, EncryptedWorkbookIsProtectedByAPassword)
{
    const XlsSheetResult result = readXlsSheet(
        readBytes(fixturePath(QStringLiteral("password-xlwt.xls"))), QStringLiteral("BendTbl"));
    EXPECT_EQ(result.errorKind, XlsSheetResult::Error::Password);
    EXPECT_EQ(result.error, QStringLiteral("protected by a password"));
    EXPECT_TRUE(result.cells.empty());
}

TEST(XlsReader, CellsOutOfOrderComeByRowAndColumnWithTheLastRecordOfACellStanding)
{
    // Records in random order, many of them for cells that earlier records gave: numbers, runs
    // of numbers and runs of blanks. What stands is what the last record of each cell says.
    std::mt19937 random(11);
    std::uniform_int_distribution<int> row(0, 40), column(0, 30), run(1, 12), pick(0, 9);
    std::map<std::pair<int, int>, QString> expected;
    QByteArray records;
    for (int i = 0; i < 2500; ++i) {
        const int r = row(random), c = column(random);
        const int kind = pick(random);
        if (kind < 6) {
            records += numberCell(r, c, i);
            expected[{r, c}] = describe(r, c, QStringLiteral("number"), QString::number(i));
        } else if (kind < 8) {
            std::vector<quint32> rks;
            for (int k = run(random); k > 0; --k) {
                const int value = i * 100 + k;
                expected[{r, c + int(rks.size())}] = describe(
                    r, c + int(rks.size()), QStringLiteral("number"), QString::number(value));
                rks.push_back((quint32(value) << 2) | 2);
            }
            records += mulRkCells(r, c, rks);
        } else {
            const int count = run(random) + 1;
            QByteArray data = le16(r) + le16(c);
            for (int k = 0; k < count; ++k) {
                data += le16(0);
                expected[{r, c + k}] = describe(r, c + k, QStringLiteral("empty"));
            }
            records += biffRecord(0x00BE, data + le16(c + count - 1));
        }
    }
    const XlsSheetResult result =
        readXlsSheet(simpleWorkbook(QStringLiteral("BendTbl"), records), QStringLiteral("BendTbl"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    QStringList actual, wanted;
    for (const XlsCell &cell : result.cells)
        actual.append(describe(cell));
    for (const auto &[place, text] : expected)
        wanted.append(text);
    ASSERT_EQ(actual.size(), wanted.size());
    for (int i = 0; i < actual.size(); ++i)
        ASSERT_EQ(actual[i].toStdString(), wanted[i].toStdString()) << "cell " << i;
}

} // namespace
} // namespace corvane
