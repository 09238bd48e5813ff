// Writes the seed inputs of the fuzzers that Corvane's own writers make: job files from
// formatJobFile() with edits an operator's text editor might make, and workbooks written record
// by record (xlsbuilder.h) with every kind of record the reader knows.
//
//   corvane_fuzz_seeds OUTDIR
//
// writes OUTDIR/jobfile/*.bm and OUTDIR/bendtable/*.xls. scripts/fuzz.sh seeds adds the
// workbooks of other writers and merges everything into fuzz/corpus/.

#include "xlsbuilder.h"
#include "ground/jobfile.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <utility>
#include <vector>

namespace corvane::fuzz {

namespace {

using namespace test;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// A job with every field set, its texts from the given ones in turn.
JobFileContent fullContent(const QStringList &texts)
{
    int next = 0;
    const auto text = [&]() {
        return texts[next++ % texts.size()];
    };
    JobFileContent c;
    using K = JobField::Kind;
    for (int i = 0; i < kJobFileItemCount; ++i) {
        const JobField &f = kJobFileItems[i].field;
        QString &item = c.items[i];
        switch (f.kind) {
        case K::CommonHeader:
        case K::SectionHeader:
            break;
        case K::Common:
        case K::View:
            item = text();
            break;
        case K::Material:
            item = QStringLiteral("SS304");
            break;
        case K::Thickness:
            item = QStringLiteral("1.5");
            break;
        case K::VeeAll:
            item = QStringLiteral("12");
            break;
        case K::Rotate:
            item = QString::number(90 * (f.section - 1));
            break;
        case K::Scale:
            item = QString::number((f.section - 1) % 2);
            break;
        case K::Notes:
            item = text() + QStringLiteral("\r\n") + text() + QStringLiteral("\r\n\r\nend");
            break;
        case K::Outside:
            item = QString::number(12.5 * (f.index + 1) + (f.section - 1));
            break;
        case K::Angle:
            item = QString::number(f.index % 2 ? -90 : 135);
            break;
        case K::Vee:
            item = f.index % 3 ? QStringLiteral("12") : QStringLiteral("16");
            break;
        }
    }
    return c;
}

std::vector<std::pair<QString, QByteArray>> jobFiles()
{
    std::vector<std::pair<QString, QByteArray>> files;
    const QByteArray untouched = formatJobFile(JobFileContent());
    files.emplace_back(QStringLiteral("untouched.bm"), untouched);

    // Windows-1252: accents, degree sign, euro, commas in texts.
    const QByteArray western = formatJobFile(
        fullContent({QStringLiteral("Acme, Inc."), QStringLiteral("BR-100"), QStringLiteral("C"),
                     QStringLiteral("Bracket 90\u00b0 \u00d8 12, caf\u00e9"),
                     QStringLiteral("12 \u20ac"), QStringLiteral("Stra\u00dfe")}));
    files.emplace_back(QStringLiteral("full-windows1252.bm"), western);

    // Beyond Windows-1252: the file is UTF-8.
    files.emplace_back(
        QStringLiteral("full-utf8.bm"),
        formatJobFile(fullContent({QStringLiteral("\u0141\u00f3d\u017a Metal"),
                                   QStringLiteral("\u4e0d\u9508\u94a2"), QStringLiteral("\u03a9-7"),
                                   QStringLiteral("\U0001F527 bend"), QStringLiteral("plain")})));

    // Section 1 only, as most jobs are.
    using F = JobField;
    JobFileContent one;
    one[F::common(0)] = QStringLiteral("Harbour Fabrication");
    one[F::material()] = QStringLiteral("MS");
    one[F::thickness()] = QStringLiteral("2");
    one[F::veeAll()] = QStringLiteral("16");
    one[F::view(1)] = QStringLiteral("end view");
    one[F::notes(1)] = QStringLiteral("Z bracket.\r\nDeburr.");
    for (int k = 0; k < 3; ++k)
        one[F::outside(1, k)] = QString::number(40 + 10 * k);
    one[F::angle(1, 0)] = QStringLiteral("90");
    one[F::angle(1, 1)] = QStringLiteral("-90");
    one[F::vee(1, 0)] = one[F::vee(1, 1)] = QStringLiteral("16");
    const QByteArray section1 = formatJobFile(one);
    files.emplace_back(QStringLiteral("section1.bm"), section1);

    // Edits of a text editor or of a hand.
    QByteArray lf = western;
    lf.replace("\r\n", "\n");
    files.emplace_back(QStringLiteral("edited-lf.bm"), lf);
    QByteArray cr = section1;
    cr.replace("\r\n", "\r");
    files.emplace_back(QStringLiteral("edited-cr.bm"), cr);
    files.emplace_back(QStringLiteral("edited-bom.bm"), "\xEF\xBB\xBF" + section1);
    QByteArray bare = section1;
    bare.replace("\"40\",\"90\",\"16\"", "  40 , 90\t,16 ");
    bare.replace(",1,", ", 1 ,");
    files.emplace_back(QStringLiteral("edited-unquoted.bm"), bare);
    QByteArray scale = untouched;
    scale.replace(",1,", ",0,");
    files.emplace_back(QStringLiteral("edited-scale0.bm"), scale);
    QByteArray badScale = untouched;
    badScale.replace(",1,", ",yes,");
    files.emplace_back(QStringLiteral("edited-bad-scale.bm"), badScale);
    files.emplace_back(QStringLiteral("edited-cut.bm"), section1.left(section1.size() - 30));
    files.emplace_back(QStringLiteral("edited-trailing.bm"),
                       section1 + "\"extra\",\"line\"\r\n\r\n");
    files.emplace_back(QStringLiteral("edited-open-quote.bm"), section1 + "\"unterminated");
    return files;
}

// Texts of every width for the shared string table.
QStringList sharedTexts()
{
    return {
        QStringLiteral("material"), QStringLiteral("vee"),        QStringLiteral("standard"),
        QStringLiteral("MS"),       QStringLiteral("YES"),        QStringLiteral("no"),
        QStringLiteral("SS304"),    QStringLiteral("\u00c9tain"), QStringLiteral("\u4e0d\u9508"),
        QStringLiteral("v1.2"),     QStringLiteral("2")};
}

// A bend table of every kind of cell record: numbers as NUMBER, RK, MULRK and formulas, texts as
// LABELSST, LABEL and formula strings, booleans, errors, blanks, a chart inside the sheet and
// two records for one bend.
QByteArray everyKindOfRecord()
{
    QByteArray r = labelSstCell(0, 0, 0) + labelCell(0, 1, QStringLiteral("Thickness"), false) +
                   labelSstCell(0, 2, 1) + labelSstCell(0, 3, 2) +
                   labelCell(0, 4, QStringLiteral("k_factor"), true) +
                   labelCell(0, 5, QStringLiteral("internal_radius"), false) +
                   labelCell(0, 6, QStringLiteral("version"), false);
    // MS 1.5: vees 12 (standard) and 16.
    r += labelSstCell(1, 0, 3) + numberCell(1, 1, 1.5) + rkCell(1, 2, (12u << 2) | 2) +
         labelSstCell(1, 3, 4) + formulaNumberCell(1, 4, 0.33) + rkCell(1, 5, (175u << 2) | 3) +
         formulaSpecialCell(1, 6, 0, 0) + stringRecord(QStringLiteral("2024-06"), 3, true);
    r += labelCell(2, 0, QStringLiteral("ms"), true) +
         mulRkCells(2, 1, {0x3FF80000, (16u << 2) | 2}) + blankCell(2, 3) + numberCell(2, 4, 0.42) +
         numberCell(2, 5, 2.5);
    // SS304 2: vee 16 twice, vee 20 with a boolean and an error.
    r += labelSstCell(3, 0, 6) + rkCell(3, 1, (2u << 2) | 2) + rkCell(3, 2, (16u << 2) | 2) +
         labelSstCell(3, 3, 5) + numberCell(3, 4, 0.4) + numberCell(3, 5, 3);
    r += labelSstCell(4, 0, 6) + numberCell(4, 1, 2) + numberCell(4, 2, 16) +
         numberCell(4, 4, 0.41) + numberCell(4, 5, 3.1);
    r += labelSstCell(5, 0, 6) + numberCell(5, 1, 2) + numberCell(5, 2, 20) +
         boolErrCell(5, 3, 1, false) + boolErrCell(5, 4, 0x07, true) +
         formulaSpecialCell(5, 5, 1, 1);
    // A chart on the sheet.
    r += bofRecord(0x0020) + numberCell(9, 9, 99) + eofRecord();
    // Wide material, a thickness written as text, an empty text result and a blank run.
    r += labelSstCell(6, 0, 8) + labelSstCell(6, 1, 10) + numberCell(6, 2, 8) +
         formulaSpecialCell(6, 3, 3, 0) + numberCell(6, 4, 0.5) + numberCell(6, 5, 1);
    r += biffRecord(0x00BE, le16(7) + le16(0) + QByteArray(12, '\0') + le16(5));
    r += labelSstCell(8, 0, 7) + numberCell(8, 1, 0.8) + numberCell(8, 2, 6) +
         numberCell(8, 4, 0.3) + numberCell(8, 5, 0.8);
    return r;
}

// A version 3 compound file whose FAT is listed partly in a DIFAT sector: the file's one FAT
// sector listed 120 times, 109 of them in the header and 11 in a DIFAT sector at the end, the
// file padded to the 120 sectors that so many FAT sectors need. Real files list over 109 FAT
// sectors only from 7 MB on, beyond what a fuzzer tries.
QByteArray withDifatSector(QByteArray file)
{
    constexpr int kFatSectors = 120;
    const QByteArray fatSector = file.mid(0x4C, 4);
    file.append(QByteArray(kFatSectors * 512 - (file.size() - 512), '\0'));
    QByteArray difat;
    for (int i = 0; i < 127; ++i)
        difat += i < kFatSectors - 109 ? fatSector : le32(0xFFFFFFFF);
    file += difat + le32(0xFFFFFFFE);
    file.replace(0x2C, 4, le32(kFatSectors));
    for (int i = 0; i < 109; ++i)
        file.replace(0x4C + 4 * i, 4, fatSector);
    file.replace(0x44, 4, le32(kFatSectors)); // the DIFAT sector, the last one
    file.replace(0x48, 4, le32(1));
    return file;
}

std::vector<std::pair<QString, QByteArray>> workbooks()
{
    std::vector<std::pair<QString, QByteArray>> files;
    const QString bendTbl = QStringLiteral("BendTbl");
    const QByteArray records = everyKindOfRecord();
    const QByteArray sst = sstRecords(sharedTexts());
    const QByteArray stream =
        workbookStream(sst, {{QStringLiteral("Notes"), labelCell(0, 0, QStringLiteral("x"), false)},
                             {bendTbl, records}});
    files.emplace_back(QStringLiteral("built-every-record.xls"),
                       compoundFile({{QStringLiteral("Workbook"), stream}}));
    files.emplace_back(QStringLiteral("built-difat.xls"),
                       withDifatSector(compoundFile({{QStringLiteral("Workbook"), stream}})));
    files.emplace_back(QStringLiteral("built-version4.xls"),
                       compoundFile({{QStringLiteral("Workbook"), stream}}, 4));
    // A stream beyond the mini stream's cutoff, in regular sectors; a second stream beside it.
    const QByteArray padded =
        workbookStream(biffRecord(0x00E0, QByteArray(4200, 'x')) + sst, {{bendTbl, records}});
    files.emplace_back(
        QStringLiteral("built-regular-sectors.xls"),
        compoundFile({{QStringLiteral("\x05SummaryInformation"), QByteArray(200, 'i')},
                      {QStringLiteral("Book"), padded}}));
    // The shared strings split across CONTINUE records of 40 bytes.
    files.emplace_back(QStringLiteral("built-sst-continued.xls"),
                       simpleWorkbook(bendTbl, records, sstRecords(sharedTexts(), 40)));
    files.emplace_back(QStringLiteral("built-no-column.xls"),
                       simpleWorkbook(bendTbl, labelCell(0, 0, QStringLiteral("material"), false) +
                                                   numberCell(1, 0, 1)));
    files.emplace_back(
        QStringLiteral("built-biff5.xls"),
        compoundFile({{QStringLiteral("Book"), bofRecord(0x0005, 0x0500) + eofRecord()}}));
    files.emplace_back(QStringLiteral("built-password.xls"),
                       simpleWorkbook(bendTbl, records, biffRecord(0x002F, QByteArray(54, 'p'))));
    return files;
}

bool writeAll(const QString &folder, const std::vector<std::pair<QString, QByteArray>> &files)
{
    if (!QDir().mkpath(folder))
        return false;
    for (const auto &[name, bytes] : files) {
        if (!writeFile(folder + u'/' + name, bytes))
            return false;
    }
    return true;
}

} // namespace

} // namespace corvane::fuzz

int main(int argc, char *argv[])
{
    using namespace corvane::fuzz;
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvane_fuzz_seeds OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const bool ok = writeAll(out + QStringLiteral("/jobfile"), jobFiles()) &&
                    writeAll(out + QStringLiteral("/bendtable"), workbooks());
    return ok ? 0 : 1;
}
