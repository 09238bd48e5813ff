#include "bendtable/xlsreader.h"

#include "bendtable/compoundfile.h"

#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace corvane {

namespace {

// Record types of BIFF8.
constexpr quint16 kBof = 0x0809;
constexpr quint16 kEof = 0x000A;
constexpr quint16 kFilePass = 0x002F;
constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kSst = 0x00FC;
constexpr quint16 kContinue = 0x003C;
constexpr quint16 kNumber = 0x0203;
constexpr quint16 kRk = 0x027E;
constexpr quint16 kMulRk = 0x00BD;
constexpr quint16 kLabelSst = 0x00FD;
constexpr quint16 kLabel = 0x0204;
constexpr quint16 kBlank = 0x0201;
constexpr quint16 kMulBlank = 0x00BE;
constexpr quint16 kFormula = 0x0006;
constexpr quint16 kString = 0x0207;
constexpr quint16 kBoolErr = 0x0205;

constexpr quint16 kBiff8 = 0x0600;
constexpr quint16 kBiff5 = 0x0500;
constexpr quint16 kGlobalsSubstream = 0x0005;
constexpr quint16 kWorksheetSubstream = 0x0010;

quint16 u16At(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}
quint32 u32At(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

double doubleAt(const char *p)
{
    const quint64 bits = qFromLittleEndian<quint64>(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// An RK value: a double cut to its high 30 bits or a 30-bit integer, either one possibly
// multiplied by 100.
double rkValue(quint32 rk)
{
    double value;
    if (rk & 2) {
        value = double(qint32(rk & ~3u) / 4);
    } else {
        const quint64 bits = quint64(rk & ~3u) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return rk & 1 ? value / 100.0 : value;
}

QString latin1Chars(const char *p, int count)
{
    return QString::fromLatin1(p, count);
}

QString utf16Chars(const char *p, int count)
{
    QString text(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        text[i] = QChar(u16At(p + 2 * i));
    return text;
}

struct Record
{
    quint16 type = 0;
    qsizetype offset = 0; // of the data, in the stream
    int length = 0;
};

// Steps through the records of the workbook stream.
class Records
{
public:
    explicit Records(const QByteArray &stream) : m_stream(stream) {}

    void seek(qsizetype position) { m_position = position; }
    qsizetype position() const { return m_position; }
    bool atEnd() const { return m_position >= m_stream.size(); }
    // The record at the position; false when its header or data run past the stream.
    bool peek(Record &record) const
    {
        if (m_position < 0 || m_position + 4 > m_stream.size())
            return false;
        const char *p = m_stream.constData() + m_position;
        record.type = u16At(p);
        record.length = u16At(p + 2);
        record.offset = m_position + 4;
        return record.offset + record.length <= m_stream.size();
    }
    bool next(Record &record)
    {
        if (!peek(record))
            return false;
        m_position = record.offset + record.length;
        return true;
    }
    const char *data(const Record &record) const { return m_stream.constData() + record.offset; }

private:
    const QByteArray &m_stream;
    qsizetype m_position = 0;
};

// The data of a record and the CONTINUE records after it, read as one sequence. A string whose
// characters run over into the next record starts there with a fresh flags byte, as its
// characters may change from one byte to two there.
class ContinuedData
{
public:
    ContinuedData(const Records &records, std::vector<Record> parts)
        : m_records(records), m_parts(std::move(parts))
    {}

    bool atEnd()
    {
        skipExhausted();
        return m_part >= m_parts.size();
    }
    bool byte(quint8 &value)
    {
        skipExhausted();
        if (m_part >= m_parts.size())
            return false;
        value = quint8(m_records.data(m_parts[m_part])[m_offset++]);
        return true;
    }
    bool u16(quint16 &value)
    {
        quint8 lo, hi;
        if (!byte(lo) || !byte(hi))
            return false;
        value = quint16(lo | (hi << 8));
        return true;
    }
    bool u32(quint32 &value)
    {
        quint16 lo, hi;
        if (!u16(lo) || !u16(hi))
            return false;
        value = quint32(lo) | (quint32(hi) << 16);
        return true;
    }
    bool skip(quint64 count)
    {
        while (count > 0) {
            skipExhausted();
            if (m_part >= m_parts.size())
                return false;
            const quint64 here = quint64(m_parts[m_part].length - m_offset);
            const quint64 step = std::min(count, here);
            m_offset += int(step);
            count -= step;
        }
        return true;
    }
    bool chars(int count, bool wide, QString &text)
    {
        text.clear();
        text.reserve(count);
        while (count > 0) {
            if (m_part >= m_parts.size())
                return false;
            if (m_offset >= m_parts[m_part].length) {
                if (++m_part >= m_parts.size())
                    return false;
                m_offset = 0;
                quint8 flags;
                if (!byte(flags))
                    return false;
                wide = flags & 1;
                continue;
            }
            const int available = m_parts[m_part].length - m_offset;
            const int take = std::min(count, wide ? available / 2 : available);
            if (take == 0)
                return false; // half a character at the end of a record
            const char *p = m_records.data(m_parts[m_part]) + m_offset;
            // Straight into the text, without a string for each piece.
            if (wide) {
                for (int i = 0; i < take; ++i)
                    text.append(QChar(u16At(p + 2 * i)));
            } else {
                text.append(QLatin1String(p, take));
            }
            m_offset += wide ? 2 * take : take;
            count -= take;
        }
        return true;
    }

private:
    void skipExhausted()
    {
        while (m_part < m_parts.size() && m_offset >= m_parts[m_part].length) {
            ++m_part;
            m_offset = 0;
        }
    }

    const Records &m_records;
    std::vector<Record> m_parts;
    size_t m_part = 0;
    int m_offset = 0;
};

struct SheetEntry
{
    QString name;
    quint32 position = 0; // of the sheet's BOF in the stream
};

class WorkbookReader
{
public:
    explicit WorkbookReader(const QByteArray &stream) : m_stream(stream), m_records(stream) {}

    XlsSheetResult read(const QString &sheetName);

private:
    bool fail(XlsSheetResult::Error kind, const QString &why)
    {
        m_result.errorKind = kind;
        m_result.error = why;
        return false;
    }
    bool damaged(const QString &why)
    {
        return fail(XlsSheetResult::Error::Damaged,
                    QStringLiteral("the workbook is damaged: %1").arg(why));
    }
    bool readGlobals();
    bool readSharedStrings(const Record &first);
    bool readSheet(const SheetEntry &sheet);
    // The record and the CONTINUE records after it; the position moves past them all.
    std::vector<Record> withContinues(const Record &first);
    void addCell(int row, int column, XlsCell::Kind kind, double number = 0.0, QString text = {});
    void addNumber(int row, int column, double number);
    // The most cells that the sheet's records from the position on can give.
    size_t countCells(qsizetype position) const;
    void sortCells();

    const QByteArray &m_stream;
    Records m_records;
    std::vector<SheetEntry> m_sheets;
    std::vector<QString> m_sharedStrings;
    XlsSheetResult m_result;
};

std::vector<Record> WorkbookReader::withContinues(const Record &first)
{
    std::vector<Record> parts{first};
    Record record;
    while (m_records.peek(record) && record.type == kContinue) {
        parts.push_back(record);
        m_records.next(record);
    }
    return parts;
}

bool WorkbookReader::readGlobals()
{
    Record record;
    if (!m_records.next(record) || record.type != kBof || record.length < 4)
        return fail(XlsSheetResult::Error::NotWorkbook,
                    QStringLiteral("not an Excel 97-2003 workbook (.xls)"));
    const char *bof = m_records.data(record);
    const quint16 version = u16At(bof);
    if (version == kBiff5)
        return fail(XlsSheetResult::Error::NotWorkbook,
                    QStringLiteral("an Excel 5.0/95 workbook, not an Excel 97-2003 workbook "
                                   "(.xls); save it again in the Excel 97-2003 format"));
    if (version != kBiff8)
        return fail(XlsSheetResult::Error::NotWorkbook,
                    QStringLiteral("not an Excel 97-2003 workbook (.xls)"));
    if (u16At(bof + 2) != kGlobalsSubstream)
        return damaged(QStringLiteral("it does not start with its globals"));

    while (m_records.next(record)) {
        const char *p = m_records.data(record);
        switch (record.type) {
        case kEof:
            return true;
        case kFilePass:
            return fail(XlsSheetResult::Error::Password, QStringLiteral("protected by a password"));
        case kBoundSheet: {
            if (record.length < 8)
                return damaged(QStringLiteral("a sheet entry is too short"));
            SheetEntry sheet;
            sheet.position = u32At(p);
            const int count = quint8(p[6]);
            const bool wide = p[7] & 1;
            if (8 + count * (wide ? 2 : 1) > record.length)
                return damaged(QStringLiteral("a sheet name runs past its record"));
            sheet.name = wide ? utf16Chars(p + 8, count) : latin1Chars(p + 8, count);
            m_sheets.push_back(std::move(sheet));
            break;
        }
        case kSst:
            if (!readSharedStrings(record))
                return false;
            break;
        default:
            break;
        }
    }
    return damaged(QStringLiteral("its globals end without an end record"));
}

bool WorkbookReader::readSharedStrings(const Record &first)
{
    ContinuedData data(m_records, withContinues(first));
    quint32 total, unique;
    if (!data.u32(total) || !data.u32(unique))
        return damaged(QStringLiteral("the shared string table is too short"));
    // The count is only believed as far as the data go: each string takes at least 3 bytes.
    m_sharedStrings.clear();
    for (quint32 i = 0; i < unique && !data.atEnd(); ++i) {
        quint16 count;
        quint8 flags;
        quint16 runs = 0;
        quint32 extra = 0;
        QString text;
        if (!data.u16(count) || !data.byte(flags) || ((flags & 0x08) && !data.u16(runs)) ||
            ((flags & 0x04) && !data.u32(extra)) || !data.chars(count, flags & 1, text) ||
            !data.skip(4ull * runs + extra))
            return damaged(QStringLiteral("a shared string is cut short"));
        m_sharedStrings.push_back(std::move(text));
    }
    return true;
}

void WorkbookReader::addCell(int row, int column, XlsCell::Kind kind, double number, QString text)
{
    XlsCell cell;
    cell.row = row;
    cell.column = column;
    cell.kind = kind;
    cell.number = number;
    cell.text = std::move(text);
    m_result.cells.push_back(std::move(cell));
}

void WorkbookReader::addNumber(int row, int column, double number)
{
    if (std::isfinite(number))
        addCell(row, column, XlsCell::Kind::Number, number);
    else
        addCell(row, column, XlsCell::Kind::Empty);
}

bool WorkbookReader::readSheet(const SheetEntry &sheet)
{
    if (sheet.position >= quint64(m_stream.size()))
        return damaged(QStringLiteral("the sheet %1 starts past the end").arg(sheet.name));
    m_records.seek(qsizetype(sheet.position));
    Record record;
    if (!m_records.next(record) || record.type != kBof || record.length < 4)
        return damaged(
            QStringLiteral("the sheet %1 does not start where its entry says").arg(sheet.name));
    if (u16At(m_records.data(record) + 2) != kWorksheetSubstream)
        return fail(XlsSheetResult::Error::NoSheet,
                    QStringLiteral("no sheet named %1 that holds cells").arg(sheet.name));
    // Counted first and allocated once: a row of blanks gives a cell of 48 bytes for every 2 bytes
    // of its record, and a list that grows by doubling would hold three times that while it copies.
    m_result.cells.reserve(countCells(m_records.position()));

    // A chart placed on the sheet brings its own BOF ... EOF, which is skipped whole.
    int nested = 0;
    // A formula whose result is a text: the text follows in a STRING record. Row -1: none.
    int pendingRow = -1;
    int pendingColumn = 0;
    while (m_records.next(record)) {
        const char *p = m_records.data(record);
        const int length = record.length;
        if (record.type == kBof) {
            ++nested;
            continue;
        }
        if (record.type == kEof) {
            if (nested == 0)
                return true;
            --nested;
            continue;
        }
        if (nested > 0)
            continue;
        const bool isCell = length >= 6 && record.type != kString;
        const int row = isCell ? u16At(p) : 0;
        const int column = isCell ? u16At(p + 2) : 0;
        switch (record.type) {
        case kNumber:
            if (length < 14)
                return damaged(QStringLiteral("a number cell is too short"));
            addNumber(row, column, doubleAt(p + 6));
            break;
        case kRk:
            if (length < 10)
                return damaged(QStringLiteral("a number cell is too short"));
            addNumber(row, column, rkValue(u32At(p + 6)));
            break;
        case kMulRk: {
            if (length < 12)
                return damaged(QStringLiteral("a row of number cells is too short"));
            const int count = (length - 6) / 6;
            for (int i = 0; i < count; ++i)
                addNumber(row, column + i, rkValue(u32At(p + 4 + 6 * i + 2)));
            break;
        }
        case kLabelSst: {
            if (length < 10)
                return damaged(QStringLiteral("a text cell is too short"));
            const quint32 index = u32At(p + 6);
            if (index >= m_sharedStrings.size())
                return damaged(QStringLiteral("a cell refers to a shared string that is missing"));
            addCell(row, column, XlsCell::Kind::Text, 0.0, m_sharedStrings[index]);
            break;
        }
        case kLabel: {
            if (length < 9)
                return damaged(QStringLiteral("a text cell is too short"));
            const int count = u16At(p + 6);
            const bool wide = p[8] & 1;
            if (9 + qint64(count) * (wide ? 2 : 1) > length)
                return damaged(QStringLiteral("a text cell runs past its record"));
            addCell(row, column, XlsCell::Kind::Text, 0.0,
                    wide ? utf16Chars(p + 9, count) : latin1Chars(p + 9, count));
            break;
        }
        case kBlank:
            if (length < 6)
                return damaged(QStringLiteral("a blank cell is too short"));
            addCell(row, column, XlsCell::Kind::Empty);
            break;
        case kMulBlank: {
            if (length < 8)
                return damaged(QStringLiteral("a row of blank cells is too short"));
            const int count = (length - 6) / 2;
            for (int i = 0; i < count; ++i)
                addCell(row, column + i, XlsCell::Kind::Empty);
            break;
        }
        case kBoolErr:
            if (length < 8)
                return damaged(QStringLiteral("a boolean cell is too short"));
            if (p[7] == 0)
                addNumber(row, column, p[6] ? 1.0 : 0.0);
            else
                addCell(row, column, XlsCell::Kind::Empty);
            break;
        case kFormula: {
            if (length < 20)
                return damaged(QStringLiteral("a formula cell is too short"));
            pendingRow = -1;
            if (u16At(p + 12) != 0xFFFF) {
                addNumber(row, column, doubleAt(p + 6));
                break;
            }
            switch (p[6]) {
            case 0:
                pendingRow = row;
                pendingColumn = column;
                break;
            case 1:
                addNumber(row, column, p[8] ? 1.0 : 0.0);
                break;
            case 3:
                addCell(row, column, XlsCell::Kind::Text);
                break;
            default: // an error value, or unknown
                addCell(row, column, XlsCell::Kind::Empty);
                break;
            }
            break;
        }
        case kString: {
            ContinuedData data(m_records, withContinues(record));
            quint16 count;
            quint8 flags;
            QString text;
            if (!data.u16(count) || !data.byte(flags) || !data.chars(count, flags & 1, text))
                return damaged(QStringLiteral("the text result of a formula is cut short"));
            if (pendingRow >= 0)
                addCell(pendingRow, pendingColumn, XlsCell::Kind::Text, 0.0, std::move(text));
            pendingRow = -1;
            break;
        }
        default:
            break;
        }
    }
    return damaged(QStringLiteral("the sheet %1 ends without an end record").arg(sheet.name));
}

size_t WorkbookReader::countCells(qsizetype position) const
{
    // The same walk as readSheet(), counting instead of reading.
    Records records(m_stream);
    records.seek(position);
    size_t count = 0;
    int nested = 0;
    Record record;
    while (records.next(record)) {
        if (record.type == kBof) {
            ++nested;
        } else if (record.type == kEof) {
            if (nested == 0)
                break;
            --nested;
        } else if (nested == 0) {
            switch (record.type) {
            case kMulRk:
                count += size_t(std::max(0, (record.length - 6) / 6));
                break;
            case kMulBlank:
                count += size_t(std::max(0, (record.length - 6) / 2));
                break;
            case kNumber:
            case kRk:
            case kLabelSst:
            case kLabel:
            case kBlank:
            case kBoolErr:
            case kFormula:
                ++count;
                break;
            default:
                break;
            }
        }
    }
    return count;
}

void WorkbookReader::sortCells()
{
    std::vector<XlsCell> &cells = m_result.cells;
    // Writers give the cells in order, each once; only a workbook of another kind pays for more.
    const auto before = [](const XlsCell &a, const XlsCell &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    };
    if (std::adjacent_find(cells.begin(), cells.end(), [&](const XlsCell &a, const XlsCell &b) {
            return !before(a, b);
        }) == cells.end())
        return;
    // Sorted as plain numbers that hold the row (16 bits), the column (17 bits: a row of blanks
    // may run past column 65535) and the place in the list (31 bits), so that ties keep record
    // order; then moved into place along the cycles of that order. 8 bytes a cell, where a
    // stable sort of the cells themselves would take a buffer of 48 bytes a cell.
    constexpr int kPlaceBits = 31;
    constexpr quint64 kPlaceMask = (quint64(1) << kPlaceBits) - 1;
    const bool fits =
        cells.size() <= kPlaceMask && std::all_of(cells.begin(), cells.end(), [](const XlsCell &c) {
            return c.row >= 0 && c.row < (1 << 16) && c.column >= 0 && c.column < (1 << 17);
        });
    if (!fits) {
        std::stable_sort(cells.begin(), cells.end(), before);
    } else {
        std::vector<quint64> order(cells.size());
        for (size_t i = 0; i < cells.size(); ++i)
            order[i] = (quint64(cells[i].row) << 48) | (quint64(cells[i].column) << kPlaceBits) | i;
        std::sort(order.begin(), order.end());
        for (size_t start = 0; start < order.size(); ++start) {
            if ((order[start] & kPlaceMask) == start)
                continue;
            // The cell at place `at` is to be the one now at place order[at]; a place done is
            // marked by its own number.
            XlsCell first = std::move(cells[start]);
            size_t at = start;
            while ((order[at] & kPlaceMask) != start) {
                const size_t from = size_t(order[at] & kPlaceMask);
                cells[at] = std::move(cells[from]);
                order[at] = at;
                at = from;
            }
            cells[at] = std::move(first);
            order[at] = at;
        }
    }
    // Of several records for one cell, the last one stands.
    size_t kept = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        const bool lastOfCell = i + 1 == cells.size() || cells[i + 1].row != cells[i].row ||
                                cells[i + 1].column != cells[i].column;
        if (!lastOfCell)
            continue;
        if (kept != i)
            cells[kept] = std::move(cells[i]);
        ++kept;
    }
    cells.resize(kept);
}

XlsSheetResult WorkbookReader::read(const QString &sheetName)
{
    if (!readGlobals())
        return std::move(m_result);
    const auto sheet = std::find_if(m_sheets.begin(), m_sheets.end(), [&](const SheetEntry &s) {
        return s.name.compare(sheetName, Qt::CaseInsensitive) == 0;
    });
    if (sheet == m_sheets.end()) {
        fail(XlsSheetResult::Error::NoSheet, QStringLiteral("no sheet named %1").arg(sheetName));
        return std::move(m_result);
    }
    if (!readSheet(*sheet)) {
        m_result.cells.clear();
        return std::move(m_result);
    }
    sortCells();
    return std::move(m_result);
}

// Names the kind of a file that is no compound file, for the error text.
QString notCompoundFileError(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QStringLiteral("empty, not an Excel 97-2003 workbook (.xls)");
    if (bytes.startsWith("PK\x03\x04"))
        return QStringLiteral("an Excel 2007 or later workbook (.xlsx) or another zip file, "
                              "not an Excel 97-2003 workbook (.xls)");
    // Excel 2.1 to 4.0 wrote a bare stream of records starting with a BOF of their own.
    if (bytes.size() >= 4 && bytes[0] == '\x09' &&
        (bytes[1] == '\x00' || bytes[1] == '\x02' || bytes[1] == '\x04'))
        return QStringLiteral("an Excel 4.0 or older workbook, not an Excel 97-2003 workbook "
                              "(.xls); save it again in the Excel 97-2003 format");
    return QStringLiteral("not an Excel 97-2003 workbook (.xls)");
}

} // namespace

XlsSheetResult readXlsSheet(const QByteArray &bytes, const QString &sheetName)
{
    XlsSheetResult result;
    const CompoundStreamResult stream =
        readCompoundStream(bytes, {QStringLiteral("Workbook"), QStringLiteral("Book")});
    switch (stream.errorKind) {
    case CompoundStreamResult::Error::None:
        return WorkbookReader(stream.bytes).read(sheetName);
    case CompoundStreamResult::Error::NotCompoundFile:
        result.errorKind = XlsSheetResult::Error::NotWorkbook;
        result.error = notCompoundFileError(bytes);
        break;
    case CompoundStreamResult::Error::NoStream:
        result.errorKind = XlsSheetResult::Error::NotWorkbook;
        result.error = QStringLiteral("a compound document without a workbook, not an Excel "
                                      "97-2003 workbook (.xls)");
        break;
    case CompoundStreamResult::Error::Damaged:
        result.errorKind = XlsSheetResult::Error::Damaged;
        result.error = QStringLiteral("the workbook is damaged: %1").arg(stream.error);
        break;
    }
    return result;
}

} // namespace corvane
