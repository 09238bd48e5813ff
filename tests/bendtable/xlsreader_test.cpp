#include "bendtable/xlsreader.h"

#include "xlsbuilder.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtEndian>

#include <gtest/gtest.h>

#include <limits>

namespace corvane {
namespace {

using namespace test;

XlsSheetResult read(const QByteArray &bytes)
{
    return readXlsSheet(bytes, "BendTbl");
}

using Kind = XlsCell::Kind;

// The cells one a line, so that a failing comparison shows what differs: "2:5 number 0.43";
// empty cells left out when only values count.
std::string cellsOf(const std::vector<XlsCell> &cells, bool valuesOnly = false)
{
    static const char *const kinds[] = {"empty", "number", "text"}; // as XlsCell::Kind
    QStringList out;
    for (const XlsCell &c : cells) {
        const QString value = c.kind == Kind::Number
                                  ? QString::number(c.number, 'g', QLocale::FloatingPointShortest)
                                  : c.text;
        const QString where = QStringLiteral("%1:%2 ").arg(c.row).arg(c.column);
        if (!valuesOnly || c.kind != Kind::Empty)
            out.append((where + QLatin1String(kinds[int(c.kind)]) + ' ' + value).trimmed());
    }
    return out.join(u'\n').toStdString();
}

// Each fixture, made by a different writer, reads as python3-xlrd reads it. Where xlrd reads an
// error, we read an empty cell: it holds no value, as it has none in the expectation.
class XlsFixture : public ::testing::TestWithParam<const char *>
{};

TEST_P(XlsFixture, ReadsTheCellsThatXlrdReads)
{
    const QString name = QString::fromLatin1(GetParam());
    const QString data = QStringLiteral(CORVANE_SOURCE_DIR "/tests/bendtable/data/") + name;
    const XlsSheetResult result = read(readBytes(name == QLatin1String("default-bendtbl")
                                                     ? CORVANE_SOURCE_DIR "/data/BendTbl.xls"
                                                     : data + ".xls"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();

    std::vector<XlsCell> expected;
    const QJsonDocument json = QJsonDocument::fromJson(readBytes(data + ".json"));
    for (const QJsonValue &item : json[QLatin1String("cells")].toArray()) {
        const QJsonArray c = item.toArray();
        const QString kind = c[2].toString();
        if (kind != QLatin1String("empty"))
            expected.push_back({c[0].toInt(), c[1].toInt(),
                                kind == QLatin1String("number") ? Kind::Number : Kind::Text,
                                c[3].toString().toDouble(), c[3].toString()});
    }
    EXPECT_EQ(cellsOf(result.cells, true), cellsOf(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Writers, XlsFixture,
    ::testing::Values("basic-xlwt", "mixed-xlwt", "headers-only-xlwt", "sheets-xlwt", "sst-xlwt",
                      "formulas-lo", "strings-lo", "findings-lo", "default-bendtbl"),
    [](const ::testing::TestParamInfo<const char *> &info) {
        return QString::fromLatin1(info.param).replace(u'-', u'_').toStdString();
    });

TEST(XlsReader, EveryKindOfCellRecord)
{
    const QString wide = QStringLiteral("\u4e0d\u9508\u94a2 304");
    // Cells out of order, some given again by a run of blanks or by a number: the cells still
    // come by row and column, and the last record of a cell stands.
    const QByteArray outOfOrderRecords =
        numberCell(7, 3, 4) + numberCell(7, 0, 6) +
        biffRecord(0x00BE, le16(7) + le16(0) + le16(0).repeated(3) + le16(2)) + numberCell(7, 1, 3);
    const QByteArray records =
        outOfOrderRecords + numberCell(0, 0, 1.5) + rkCell(0, 1, (quint32(-7) << 2) | 2) // -7
        + rkCell(0, 2, (1234u << 2) | 3)                                                 // 12.34
        + rkCell(0, 3, 0x3FE00000) // the high half of the double 0.5
        + mulRkCells(1, 2, {(1u << 2) | 2, (2u << 2) | 2, (250u << 2) | 3}) +
        labelCell(2, 0, QStringLiteral("Stahl \u00bd"), false) + labelCell(2, 1, wide, true) +
        labelSstCell(2, 2, 1) + blankCell(2, 3) + boolErrCell(3, 0, 1, false) +
        boolErrCell(3, 1, 0, false) + boolErrCell(3, 2, 0x07, true) +
        formulaNumberCell(4, 0, 0.33) + formulaSpecialCell(4, 1, 1, 1) +
        formulaSpecialCell(4, 2, 2, 0x2A) + formulaSpecialCell(4, 3, 3, 0) +
        formulaSpecialCell(4, 4, 0, 0) + biffRecord(0x04BC, QByteArray(10, '\0')) +
        stringRecord("from formula") + formulaSpecialCell(4, 5, 0, 0) +
        stringRecord(QStringLiteral("abcdef\u20ac"), 3, true)
        // A chart on the sheet: its records are not the sheet's.
        + bofRecord(0x0020) + numberCell(9, 9, 99) +
        eofRecord()
        // The last record for a cell stands; numbers that are not finite read as empty cells.
        + numberCell(5, 0, 1) + numberCell(5, 0, 2) +
        numberCell(6, 0, std::numeric_limits<double>::quiet_NaN()) +
        numberCell(6, 1, std::numeric_limits<double>::infinity()) + numberCell(1, 0, 8);
    const XlsSheetResult result =
        read(simpleWorkbook("BendTbl", records, sstRecords({"zero", "one"})));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const QStringList expected = {
        "0:0 number 1.5",        "0:1 number -7",    "0:2 number 12.34", "0:3 number 0.5",
        "1:0 number 8",          "1:2 number 1",     "1:3 number 2",     "1:4 number 2.5",
        "2:0 text Stahl \u00bd", "2:1 text " + wide, "2:2 text one",     "2:3 empty",
        "3:0 number 1",          "3:1 number 0",     "3:2 empty",        "4:0 number 0.33",
        "4:1 number 1",          "4:2 empty",        "4:3 text",         "4:4 text from formula",
        "4:5 text abcdef\u20ac", "5:0 number 2",     "6:0 empty",        "6:1 empty"};
    const QStringList outOfOrder = {"7:0 empty", "7:1 number 3", "7:2 empty", "7:3 number 4"};
    EXPECT_EQ(cellsOf(result.cells), (expected + outOfOrder).join(u'\n').toStdString());
}

// Texts that run over into a CONTINUE record are the fixtures' (sst-xlwt, strings-lo).
TEST(XlsReader, SharedStringsSkipTheirFormattingAcrossContinueRecords)
{
    // "Rich" with two formatting runs and 6 bytes of phonetic data, split so that the runs and
    // the phonetic data continue in the next record; then "Next".
    const QByteArray first = le32(2) + le32(2) + le16(4) + char(0x0C) + le16(2) + le32(6) +
                             QByteArray("Rich") + le32(0x00010000);
    const QByteArray second =
        le32(0x00020003) + QByteArray(6, 'p') + le16(4) + char(0) + QByteArray("Next");
    const XlsSheetResult rich =
        read(simpleWorkbook("BendTbl", labelSstCell(0, 0, 0) + labelSstCell(0, 1, 1),
                            biffRecord(0x00FC, first) + biffRecord(0x003C, second)));
    EXPECT_EQ(cellsOf(rich.cells), "0:0 text Rich\n0:1 text Next") << rich.error.toStdString();
}

TEST(XlsReader, SheetAndStreamAreFoundWithoutRegardToCaseWhereverTheContainerKeepsThem)
{
    const QByteArray file =
        compoundFile({{"Workbook", workbookStream({}, {{"Chart1", numberCell(0, 0, 5), 0x0020},
                                                       {"Notes", numberCell(0, 0, 1)},
                                                       {"bendtbl", numberCell(0, 0, 2)}})}});
    EXPECT_EQ(cellsOf(read(file).cells), "0:0 number 2");

    EXPECT_EQ(readXlsSheet(file, "Chart1").error, "no sheet named Chart1 that holds cells");

    // The stream's name too counts without regard to case; a few cells fit in the mini stream, a
    // long text in the globals pushes the sheet past 4096 bytes, into sectors of its own.
    const QByteArray records = numberCell(0, 0, 2.5) + labelCell(0, 1, "MS", false);
    for (const QByteArray &globals : {QByteArray(), biffRecord(0x00E0, QByteArray(6000, 'x'))}) {
        const QByteArray stream = workbookStream(globals, {{"BendTbl", records}});
        const XlsSheetResult result = read(compoundFile(
            {{"\x05SummaryInformation", QByteArray(200, 's')}, {"WORKBOOK", stream}}, 4));
        EXPECT_EQ(cellsOf(result.cells), "0:0 number 2.5\n0:1 text MS")
            << stream.size() << ": " << result.error.toStdString();
    }

    // Over 109 FAT sectors (7 MB): the header lists 109, DIFAT sectors the rest.
    const QByteArray large =
        compoundFile({{"Padding", QByteArray(7400 * 1024, 'p')},
                      {"Workbook", workbookStream({}, {{"BendTbl", numberCell(3, 4, 42)}})}});
    ASSERT_GT(qFromLittleEndian<quint32>(large.constData() + 0x48), 0u);
    EXPECT_EQ(cellsOf(read(large).cells), "3:4 number 42");
}

TEST(XlsReader, DamagedContainersAndRecordsGiveErrorsAndNoCells)
{
    // The workbook stream in sectors of its own, so that its chain can be damaged.
    CompoundLayout l;
    const QByteArray good =
        compoundFile({{"Workbook", workbookStream(biffRecord(0x00E0, QByteArray(6000, 'x')),
                                                  {{"BendTbl", numberCell(0, 0, 1)}})}},
                     3, &l);
    ASSERT_TRUE(read(good).ok());
    // Where the FAT holds the stream's first link.
    const qint64 chain = l.firstFatSectorOffset + 4 * l.streamStarts[0];
    // Where to write, what, and the damage that the reader names.
    const std::tuple<qint64, QByteArray, const char *> cases[] = {
        {chain + 12, le32(l.streamStarts[0] + 1), "the sector chain of the stream Workbook loops"},
        {chain, le32(0x00FFFFFF), "the sector chain of the stream Workbook leaves the file"},
        {chain, le32(0xFFFFFFFE), "the sector chain of the stream Workbook ends too early"},
        {0x30, le32(0x00100000), "the sector chain of the directory leaves the file"},
        {l.directoryOffset + 128 + 0x78, le32(0x7FFFFFF0),
         "the stream Workbook is larger than the file"},
        {0x2C, le32(0x10000000), "the compound file header gives an impossible FAT size"},
        {0x4C, le32(0x00FFFFF0), "a FAT sector lies outside the file"},
        {0x1E, le16(10), "the compound file has an unknown version or sector size"},
        {l.directoryOffset + 0x42, QByteArray(1, '\1'),
         "the first directory entry is not the root storage"},
    };
    for (const auto &[at, bytes, error] : cases) {
        const XlsSheetResult result = read(QByteArray(good).replace(at, bytes.size(), bytes));
        EXPECT_EQ(result.errorKind, XlsSheetResult::Error::Damaged) << error;
        EXPECT_EQ(result.error, QStringLiteral("the workbook is damaged: ") + error);
    }
    // A link just past the end of the FAT (of one sector here), in a file longer than the FAT
    // describes.
    const QByteArray longer = QByteArray(good).replace(chain, 4, le32(quint32(l.sectorSize / 4))) +
                              QByteArray(200 * l.sectorSize, '\0');
    EXPECT_EQ(read(longer).error.toStdString(),
              "the workbook is damaged: the sector chain of the stream Workbook leaves the file");
    // A directory entry linked to itself is visited once, and the stream is still found.
    const XlsSheetResult looped =
        read(QByteArray(good).replace(l.directoryOffset + 128 + 0x44, 4, le32(1)));
    EXPECT_TRUE(looped.ok()) << looped.error.toStdString();

    // Damaged records give no cells.
    const auto sheet = [](const QByteArray &records, const QByteArray &globals = {}) {
        return workbookStream(globals, {{"BendTbl", records}});
    };
    const QByteArray streams[] = {
        // A text cell refers past the shared strings; a shared string is cut short.
        sheet(labelSstCell(0, 0, 1), sstRecords({"a"})),
        sheet({}, biffRecord(0x00FC, le32(1) + le32(1) + le16(10) + char(0) + "abc")),
        // A number cell too short; a text cell runs past its record.
        sheet(biffRecord(0x0203, QByteArray(8, '\0'))),
        sheet(biffRecord(0x0204, le16(0) + le16(0) + le16(0) + le16(50) + char(0) + "abc")),
        // The sheet lacks its end; the text of a formula is cut short.
        sheet(numberCell(0, 0, 1)).chopped(4),
        sheet(formulaSpecialCell(0, 0, 0, 0) + biffRecord(0x0207, le16(9) + char(0) + "abc")),
        // The sheet list points into the sheet's first record instead of at it.
        [&] {
            QByteArray stream = sheet(numberCell(0, 0, 1));
            const qsizetype position = bofRecord(0x0005).size() + 4;
            const quint32 start = qFromLittleEndian<quint32>(stream.constData() + position);
            return stream.replace(position, 4, le32(start + 4));
        }(),
    };
    for (const QByteArray &stream : streams) {
        const XlsSheetResult result = read(compoundFile({{"Workbook", stream}}));
        EXPECT_EQ(result.errorKind, XlsSheetResult::Error::Damaged) << result.error.toStdString();
        EXPECT_TRUE(result.cells.empty()) << result.error.toStdString();
    }
}

// An empty file, a missing sheet and a password are named by bendtablesource_test.cpp.
TEST(XlsReader, FilesThatAreNoExcel97WorkbookAreNamed)
{
    const QByteArray biff5 = compoundFile({{"Book", bofRecord(0x0005, 0x0500) + eofRecord() +
                                                        bofRecord(0x0010, 0x0500) + eofRecord()}});
    const std::pair<QByteArray, const char *> cases[] = {
        {"material,thickness,vee\nMS,2,16\n", "not an Excel 97-2003 workbook (.xls)"},
        {QByteArray("PK\x03\x04\x14\x00\x06\x00", 8) + QByteArray(100, 'z'),
         "an Excel 2007 or later workbook (.xlsx) or another zip file, not an Excel 97-2003 "
         "workbook (.xls)"},
        {bofRecord(0x0010, 0x0400).replace(0, 2, le16(0x0409)),
         "an Excel 4.0 or older workbook, not an Excel 97-2003 workbook (.xls); save it again "
         "in the Excel 97-2003 format"},
        {biff5, "an Excel 5.0/95 workbook, not an Excel 97-2003 workbook (.xls); save it again in "
                "the Excel 97-2003 format"},
        {compoundFile({{"WordDocument", QByteArray(100, 'w')}}),
         "a compound document without a workbook, not an Excel 97-2003 workbook (.xls)"},
        {compoundFile({{"Workbook", "hello"}}), "not an Excel 97-2003 workbook (.xls)"},
        {compoundFile({{"Workbook", numberCell(0, 0, 1) + bofRecord(0x0005) + eofRecord()}}),
         "not an Excel 97-2003 workbook (.xls)"},
    };
    for (const auto &[bytes, error] : cases) {
        const XlsSheetResult result = read(bytes);
        EXPECT_EQ(result.errorKind, XlsSheetResult::Error::NotWorkbook) << error;
        EXPECT_EQ(result.error, QString::fromUtf8(error));
    }
}

} // namespace
} // namespace corvane
