#pragma once

// Writes Excel 97-2003 workbooks record by record, for the seeds of the workbook fuzzer
// (makeseeds.cpp) and the tests of the workbook reader: cases that no spreadsheet program writes
// on request (a text split at a chosen byte, a FAT that loops, a DIFAT beyond the header, a chart
// inside a sheet).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace corvane::test {

QByteArray le16(int value);
QByteArray le32(quint32 value);
QByteArray le64(double value);

QByteArray biffRecord(quint16 type, const QByteArray &data);
QByteArray bofRecord(quint16 substream, quint16 version = 0x0600);
QByteArray eofRecord();

QByteArray numberCell(int row, int column, double value);
QByteArray rkCell(int row, int column, quint32 rk);
QByteArray mulRkCells(int row, int firstColumn, const std::vector<quint32> &rks);
QByteArray labelSstCell(int row, int column, quint32 index);
QByteArray labelCell(int row, int column, const QString &text, bool wide);
QByteArray blankCell(int row, int column);
QByteArray boolErrCell(int row, int column, quint8 value, bool isError);
QByteArray formulaNumberCell(int row, int column, double value);
// A formula whose result is not a number: type 0 text (a STRING record follows), 1 boolean,
// 2 error, 3 empty text; value is the boolean or the error code.
QByteArray formulaSpecialCell(int row, int column, quint8 type, quint8 value);
// A STRING record, its characters split into a CONTINUE record after `splitAt` characters
// (none when negative), the part after the split wide when `wideAfterSplit`.
QByteArray stringRecord(const QString &text, int splitAt = -1, bool wideAfterSplit = false);

// The shared string table: SST and CONTINUE records of at most `maxData` bytes each, texts split
// across records as Excel splits them (a flags byte starts the continued characters). Texts
// beyond Latin-1 are written two bytes per character.
QByteArray sstRecords(const QStringList &texts, int maxData = 8224);

struct BiffSheet
{
    QString name;
    QByteArray records; // between the sheet's BOF and EOF
    quint16 substream = 0x0010;
};

// A workbook stream: the globals (BOF, `globals`, the sheet list, EOF) and then each sheet.
QByteArray workbookStream(const QByteArray &globals, const std::vector<BiffSheet> &sheets);

struct CompoundLayout
{
    int sectorSize = 512;
    qint64 firstFatSectorOffset = 0;
    qint64 directoryOffset = 0;
    std::vector<quint32> streamStarts; // first sector (or mini sector) of each stream
};

// A compound file holding the streams in its root storage, in version 3 (512-byte sectors) or
// 4 (4096). Streams below 4096 bytes go to the mini stream.
QByteArray compoundFile(const std::vector<std::pair<QString, QByteArray>> &streams, int version = 3,
                        CompoundLayout *layout = nullptr);

// The simplest workbook: one worksheet of the given name with the given records.
QByteArray simpleWorkbook(const QString &sheetName, const QByteArray &sheetRecords,
                          const QByteArray &globals = {});

} // namespace corvane::test
