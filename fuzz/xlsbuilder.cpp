#include "xlsbuilder.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace corvane::test {

namespace {

bool fitsLatin1(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 256; });
}

QByteArray chars(const QString &text, bool wide)
{
    QByteArray out;
    for (QChar c : text) {
        if (wide)
            out += le16(c.unicode());
        else
            out += char(c.unicode());
    }
    return out;
}

QByteArray cellHead(int row, int column)
{
    return le16(row) + le16(column) + le16(15);
}

} // namespace

QByteArray le16(int value)
{
    char b[2];
    qToLittleEndian<quint16>(quint16(value), b);
    return QByteArray(b, 2);
}

QByteArray le32(quint32 value)
{
    char b[4];
    qToLittleEndian<quint32>(value, b);
    return QByteArray(b, 4);
}

QByteArray le64(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    char b[8];
    qToLittleEndian<quint64>(bits, b);
    return QByteArray(b, 8);
}

QByteArray biffRecord(quint16 type, const QByteArray &data)
{
    return le16(type) + le16(int(data.size())) + data;
}

QByteArray bofRecord(quint16 substream, quint16 version)
{
    return biffRecord(0x0809, le16(version) + le16(substream) + le16(0x0DBB) + le16(0x07CC) +
                                  le32(0) + le32(0x06));
}

QByteArray eofRecord()
{
    return biffRecord(0x000A, {});
}

QByteArray numberCell(int row, int column, double value)
{
    return biffRecord(0x0203, cellHead(row, column) + le64(value));
}

QByteArray rkCell(int row, int column, quint32 rk)
{
    return biffRecord(0x027E, cellHead(row, column) + le32(rk));
}

QByteArray mulRkCells(int row, int firstColumn, const std::vector<quint32> &rks)
{
    QByteArray data = le16(row) + le16(firstColumn);
    for (quint32 rk : rks)
        data += le16(15) + le32(rk);
    data += le16(firstColumn + int(rks.size()) - 1);
    return biffRecord(0x00BD, data);
}

QByteArray labelSstCell(int row, int column, quint32 index)
{
    return biffRecord(0x00FD, cellHead(row, column) + le32(index));
}

QByteArray labelCell(int row, int column, const QString &text, bool wide)
{
    return biffRecord(0x0204, cellHead(row, column) + le16(int(text.size())) + char(wide ? 1 : 0) +
                                  chars(text, wide));
}

QByteArray blankCell(int row, int column)
{
    return biffRecord(0x0201, cellHead(row, column));
}

QByteArray boolErrCell(int row, int column, quint8 value, bool isError)
{
    return biffRecord(0x0205, cellHead(row, column) + char(value) + char(isError ? 1 : 0));
}

QByteArray formulaNumberCell(int row, int column, double value)
{
    // Result, flags, chn, then the formula "=1" (ptgInt 1).
    return biffRecord(0x0006, cellHead(row, column) + le64(value) + le16(0) + le32(0) + le16(3) +
                                  QByteArray("\x1E\x01\x00", 3));
}

QByteArray formulaSpecialCell(int row, int column, quint8 type, quint8 value)
{
    QByteArray result(8, '\0');
    result[0] = char(type);
    result[2] = char(value);
    result[6] = '\xFF';
    result[7] = '\xFF';
    return biffRecord(0x0006, cellHead(row, column) + result + le16(0) + le32(0) + le16(3) +
                                  QByteArray("\x1E\x01\x00", 3));
}

QByteArray stringRecord(const QString &text, int splitAt, bool wideAfterSplit)
{
    const bool wide = !fitsLatin1(text);
    if (splitAt < 0)
        return biffRecord(0x0207, le16(int(text.size())) + char(wide ? 1 : 0) + chars(text, wide));
    return biffRecord(0x0207, le16(int(text.size())) + char(wide ? 1 : 0) +
                                  chars(text.left(splitAt), wide)) +
           biffRecord(0x003C,
                      char(wideAfterSplit ? 1 : 0) + chars(text.mid(splitAt), wideAfterSplit));
}

QByteArray sstRecords(const QStringList &texts, int maxData)
{
    std::vector<QByteArray> records{le32(quint32(texts.size())) + le32(quint32(texts.size()))};
    for (const QString &text : texts) {
        const bool wide = !fitsLatin1(text);
        // A string's header is never split.
        if (records.back().size() + 3 > maxData)
            records.emplace_back();
        records.back() += le16(int(text.size())) + char(wide ? 1 : 0);
        int done = 0;
        while (done < text.size()) {
            const int room = int(maxData - records.back().size()) / (wide ? 2 : 1);
            if (room <= 0) {
                records.emplace_back(1, char(wide ? 1 : 0));
                continue;
            }
            const int take = std::min<int>(room, int(text.size()) - done);
            records.back() += chars(text.mid(done, take), wide);
            done += take;
        }
    }
    QByteArray out = biffRecord(0x00FC, records.front());
    for (size_t i = 1; i < records.size(); ++i)
        out += biffRecord(0x003C, records[i]);
    return out;
}

QByteArray workbookStream(const QByteArray &globals, const std::vector<BiffSheet> &sheets)
{
    const auto sheetEntry = [](quint32 position, const QString &name) {
        return biffRecord(0x0085, le32(position) + QByteArray(2, '\0') + char(name.size()) +
                                      char(1) + chars(name, true));
    };
    qint64 size = bofRecord(0x0005).size() + globals.size() + eofRecord().size();
    for (const BiffSheet &sheet : sheets)
        size += sheetEntry(0, sheet.name).size();
    QByteArray out = bofRecord(0x0005) + globals;
    QByteArray bodies;
    for (const BiffSheet &sheet : sheets) {
        out += sheetEntry(quint32(size + bodies.size()), sheet.name);
        bodies += bofRecord(sheet.substream) + sheet.records + eofRecord();
    }
    return out + eofRecord() + bodies;
}

QByteArray compoundFile(const std::vector<std::pair<QString, QByteArray>> &streams, int version,
                        CompoundLayout *layout)
{
    const int sectorSize = version == 4 ? 4096 : 512;
    const quint32 endOfChain = 0xFFFFFFFE;
    const int perFatSector = sectorSize / 4;

    // Regular streams first, then the mini stream, its mini FAT and the directory.
    std::vector<quint32> fat;
    QByteArray sectors;
    const auto place = [&](const QByteArray &data) -> quint32 {
        if (data.isEmpty())
            return endOfChain;
        const quint32 first = quint32(fat.size());
        const int count = int((data.size() + sectorSize - 1) / sectorSize);
        for (int i = 0; i < count; ++i)
            fat.push_back(i + 1 < count ? first + i + 1 : endOfChain);
        QByteArray padded = data;
        padded.append(QByteArray(count * sectorSize - data.size(), '\0'));
        sectors += padded;
        return first;
    };
    std::vector<quint32> starts;
    QByteArray miniStream;
    std::vector<quint32> miniFat;
    for (const auto &[name, data] : streams) {
        if (data.size() >= 4096) {
            starts.push_back(place(data));
            continue;
        }
        const quint32 first = quint32(miniFat.size());
        const int count = int((data.size() + 63) / 64);
        for (int i = 0; i < count; ++i)
            miniFat.push_back(i + 1 < count ? first + i + 1 : endOfChain);
        miniStream += data + QByteArray(count * 64 - data.size(), '\0');
        starts.push_back(count ? first : endOfChain);
    }
    const quint32 miniStreamStart = place(miniStream);
    QByteArray miniFatBytes;
    for (quint32 entry : miniFat)
        miniFatBytes += le32(entry);
    const quint32 miniFatStart = place(miniFatBytes);

    const auto entry = [](const QString &name, int type, quint32 right, quint32 child,
                          quint32 start, quint64 size) {
        QByteArray e(128, '\0');
        for (int i = 0; i < name.size(); ++i)
            e.replace(2 * i, 2, le16(name[i].unicode()));
        e.replace(0x40, 2, le16(int(name.size() + 1) * 2));
        e[0x42] = char(type);
        e[0x43] = 1;
        e.replace(0x44, 4, le32(0xFFFFFFFF));
        e.replace(0x48, 4, le32(right));
        e.replace(0x4C, 4, le32(child));
        e.replace(0x74, 4, le32(start));
        e.replace(0x78, 4, le32(quint32(size)));
        return e;
    };
    QByteArray directory =
        entry(QStringLiteral("Root Entry"), 5, 0xFFFFFFFF, streams.empty() ? 0xFFFFFFFF : 1,
              miniStreamStart, quint64(miniStream.size()));
    for (size_t i = 0; i < streams.size(); ++i) {
        const quint32 right = i + 1 < streams.size() ? quint32(i + 2) : 0xFFFFFFFF;
        directory += entry(streams[i].first, 2, right, 0xFFFFFFFF, starts[i],
                           quint64(streams[i].second.size()));
    }
    while (directory.size() % sectorSize)
        directory += entry(QString(), 0, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0);
    const quint32 directoryStart = place(directory);

    // The FAT describes every sector, its own and the DIFAT's included.
    int fatSectors = 1;
    int difatSectors = 0;
    for (;;) {
        difatSectors =
            fatSectors > 109 ? (fatSectors - 109 + perFatSector - 2) / (perFatSector - 1) : 0;
        if (fatSectors * perFatSector >= int(fat.size()) + fatSectors + difatSectors)
            break;
        ++fatSectors;
    }
    const quint32 firstFatSector = quint32(fat.size());
    for (int i = 0; i < fatSectors; ++i)
        fat.push_back(0xFFFFFFFD);
    const quint32 firstDifatSector = quint32(fat.size());
    for (int i = 0; i < difatSectors; ++i)
        fat.push_back(0xFFFFFFFC);
    while (int(fat.size()) < fatSectors * perFatSector)
        fat.push_back(0xFFFFFFFF);
    for (quint32 e : fat)
        sectors += le32(e);
    std::vector<quint32> fatIds;
    for (int i = 0; i < fatSectors; ++i)
        fatIds.push_back(firstFatSector + i);
    for (int d = 0; d < difatSectors; ++d) {
        QByteArray s;
        for (int i = 0; i < perFatSector - 1; ++i) {
            const size_t at = 109 + size_t(d) * (perFatSector - 1) + i;
            s += le32(at < fatIds.size() ? fatIds[at] : 0xFFFFFFFF);
        }
        s += le32(d + 1 < difatSectors ? firstDifatSector + d + 1 : endOfChain);
        sectors += s;
    }

    QByteArray header(512, '\0');
    header.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    header.replace(0x18, 2, le16(0x3E));
    header.replace(0x1A, 2, le16(version));
    header.replace(0x1C, 2, le16(0xFFFE));
    header.replace(0x1E, 2, le16(version == 4 ? 12 : 9));
    header.replace(0x20, 2, le16(6));
    header.replace(0x28, 4, le32(version == 4 ? quint32(directory.size() / sectorSize) : 0));
    header.replace(0x2C, 4, le32(quint32(fatSectors)));
    header.replace(0x30, 4, le32(directoryStart));
    header.replace(0x38, 4, le32(4096));
    header.replace(0x3C, 4, le32(miniFatStart));
    header.replace(0x40, 4, le32(quint32(miniFatBytes.size() + sectorSize - 1) / sectorSize));
    header.replace(0x44, 4, le32(difatSectors ? firstDifatSector : endOfChain));
    header.replace(0x48, 4, le32(quint32(difatSectors)));
    for (int i = 0; i < 109; ++i)
        header.replace(0x4C + 4 * i, 4, le32(size_t(i) < fatIds.size() ? fatIds[i] : 0xFFFFFFFF));
    header.append(QByteArray(sectorSize - 512, '\0'));

    if (layout) {
        layout->sectorSize = sectorSize;
        layout->firstFatSectorOffset = (qint64(firstFatSector) + 1) * sectorSize;
        layout->directoryOffset = (qint64(directoryStart) + 1) * sectorSize;
        layout->streamStarts = starts;
    }
    return header + sectors;
}

QByteArray simpleWorkbook(const QString &sheetName, const QByteArray &sheetRecords,
                          const QByteArray &globals)
{
    const QByteArray stream = workbookStream(globals, {{sheetName, sheetRecords}});
    return compoundFile({{QStringLiteral("Workbook"), stream}});
}

} // namespace corvane::test
