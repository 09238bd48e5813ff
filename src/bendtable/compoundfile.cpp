#include "bendtable/compoundfile.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <vector>

namespace corvane {

namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFreeSector = 0xFFFFFFFF;
constexpr int kHeaderDifatEntries = 109;
constexpr int kDirectoryEntrySize = 128;
constexpr int kMiniSectorSize = 64;
constexpr quint32 kNoEntry = 0xFFFFFFFF;

enum class EntryType : quint8
{
    Unused = 0,
    Storage = 1,
    Stream = 2,
    Root = 5
};

quint16 u16At(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}
quint32 u32At(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}
quint64 u64At(const char *p)
{
    return qFromLittleEndian<quint64>(p);
}

struct DirectoryEntry
{
    QString name;
    EntryType type = EntryType::Unused;
    quint32 left = kNoEntry;
    quint32 right = kNoEntry;
    quint32 child = kNoEntry;
    quint32 start = kEndOfChain;
    quint64 size = 0;
};

// One pass over one file. Every method that can fail returns false and leaves the reason in
// m_error; the caller stops at the first failure.
class Container
{
public:
    explicit Container(const QByteArray &file) : m_file(file) {}

    bool readHeader();
    bool readFat();
    bool readDirectory();
    bool readMiniStream();
    // Index of the stream of the root storage named one of `names`, or kNoEntry.
    quint32 findRootStream(const QStringList &names) const;
    bool readStream(const DirectoryEntry &entry, QByteArray &out) const;

    const DirectoryEntry &entry(quint32 index) const { return m_entries[index]; }
    const QString &error() const { return m_error; }
    // Whether the file starts with the signature, so that a failing header means damage.
    bool isSigned() const { return m_signed; }

private:
    bool fail(const QString &why) const
    {
        m_error = why;
        return false;
    }
    // The file offset of a sector, or -1 when not even its first byte lies in the file.
    qint64 sectorOffset(quint32 sector) const;
    bool wholeSector(quint32 sector) const;
    // Follows a chain of `table` from `start`, at most `limit` links, into `chain`. Every link
    // must be one of the first `sectors` sectors (of the file, or of the mini stream), so that a
    // chain is never longer than the file is in sectors: a table may list far more sectors than
    // the file holds, and the callers size their buffers by the chain. A chain that leaves those
    // sectors, meets a free entry or loops is an error; one longer than `limit` is cut there (the
    // caller needs no more).
    bool followChain(const std::vector<quint32> &table, quint32 sectors, quint32 start,
                     size_t limit, const QString &what, std::vector<quint32> &chain) const;
    quint32 miniSectorsInStream() const
    {
        return quint32((m_miniStream.size() + kMiniSectorSize - 1) / kMiniSectorSize);
    }
    bool readRegular(quint32 start, quint64 size, const QString &what, QByteArray &out) const;
    bool readMini(quint32 start, quint64 size, const QString &what, QByteArray &out) const;

    const QByteArray &m_file;
    mutable QString m_error;
    bool m_signed = false;
    int m_majorVersion = 3;
    int m_sectorSize = 512;
    quint32 m_fatSectorCount = 0;
    quint32 m_firstDirectorySector = kEndOfChain;
    quint32 m_miniCutoff = 4096;
    quint32 m_firstMiniFatSector = kEndOfChain;
    quint32 m_firstDifatSector = kEndOfChain;
    quint32 m_difatSectorCount = 0;
    quint32 m_sectorsInFile = 0;
    std::vector<quint32> m_fat;
    std::vector<quint32> m_miniFat;
    std::vector<DirectoryEntry> m_entries;
    QByteArray m_miniStream;
};

qint64 Container::sectorOffset(quint32 sector) const
{
    if (sector >= m_sectorsInFile)
        return -1;
    return (qint64(sector) + 1) * m_sectorSize;
}

bool Container::wholeSector(quint32 sector) const
{
    const qint64 offset = sectorOffset(sector);
    return offset >= 0 && offset + m_sectorSize <= m_file.size();
}

bool Container::readHeader()
{
    static const char signature[8] = {'\xD0', '\xCF', '\x11', '\xE0',
                                      '\xA1', '\xB1', '\x1A', '\xE1'};
    const char *h = m_file.constData();
    if (m_file.size() < qsizetype(sizeof signature) ||
        std::memcmp(h, signature, sizeof signature) != 0)
        return fail(QStringLiteral("the file does not start with the compound file signature"));
    m_signed = true;
    if (m_file.size() < 512)
        return fail(QStringLiteral("the file is shorter than a compound file header"));
    m_majorVersion = u16At(h + 0x1A);
    const int sectorShift = u16At(h + 0x1E);
    if (u16At(h + 0x1C) != 0xFFFE)
        return fail(QStringLiteral("the compound file header has an unknown byte order"));
    if (!((m_majorVersion == 3 && sectorShift == 9) || (m_majorVersion == 4 && sectorShift == 12)))
        return fail(QStringLiteral("the compound file has an unknown version or sector size"));
    if (u16At(h + 0x20) != 6)
        return fail(QStringLiteral("the compound file has an unknown mini sector size"));
    m_sectorSize = 1 << sectorShift;
    m_fatSectorCount = u32At(h + 0x2C);
    m_firstDirectorySector = u32At(h + 0x30);
    m_miniCutoff = u32At(h + 0x38);
    m_firstMiniFatSector = u32At(h + 0x3C);
    m_firstDifatSector = u32At(h + 0x44);
    m_difatSectorCount = u32At(h + 0x48);
    // Sectors after the header; a last sector cut short still counts, its missing bytes are
    // only an error when something needs them.
    const qint64 afterHeader = m_file.size() - m_sectorSize;
    if (afterHeader <= 0)
        return fail(QStringLiteral("the compound file holds no sector"));
    m_sectorsInFile = quint32((afterHeader + m_sectorSize - 1) / m_sectorSize);
    return true;
}

bool Container::readFat()
{
    if (m_fatSectorCount == 0 || m_fatSectorCount > m_sectorsInFile)
        return fail(QStringLiteral("the compound file header gives an impossible FAT size"));
    if (m_difatSectorCount > m_sectorsInFile)
        return fail(QStringLiteral("the compound file header gives an impossible DIFAT size"));

    // The FAT's own sectors: 109 in the header, the rest in a chain of DIFAT sectors, each
    // ending with the number of the next.
    std::vector<quint32> fatSectors;
    const char *h = m_file.constData();
    for (int i = 0; i < kHeaderDifatEntries && fatSectors.size() < m_fatSectorCount; ++i)
        fatSectors.push_back(u32At(h + 0x4C + 4 * i));
    const int perDifatSector = m_sectorSize / 4 - 1;
    std::vector<bool> seen(m_sectorsInFile, false);
    quint32 difat = m_firstDifatSector;
    quint32 difatRead = 0;
    while (fatSectors.size() < m_fatSectorCount) {
        if (difatRead == m_difatSectorCount || difat == kEndOfChain || difat == kFreeSector)
            return fail(QStringLiteral("the compound file lists fewer FAT sectors than it has"));
        if (!wholeSector(difat))
            return fail(QStringLiteral("a DIFAT sector lies outside the file"));
        if (seen[difat])
            return fail(QStringLiteral("the chain of DIFAT sectors loops"));
        seen[difat] = true;
        const char *s = m_file.constData() + sectorOffset(difat);
        for (int i = 0; i < perDifatSector && fatSectors.size() < m_fatSectorCount; ++i)
            fatSectors.push_back(u32At(s + 4 * i));
        difat = u32At(s + 4 * perDifatSector);
        ++difatRead;
    }

    const int perSector = m_sectorSize / 4;
    m_fat.reserve(size_t(m_fatSectorCount) * size_t(perSector));
    for (quint32 sector : fatSectors) {
        if (!wholeSector(sector))
            return fail(QStringLiteral("a FAT sector lies outside the file"));
        const char *s = m_file.constData() + sectorOffset(sector);
        for (int i = 0; i < perSector; ++i)
            m_fat.push_back(u32At(s + 4 * i));
    }
    return true;
}

bool Container::followChain(const std::vector<quint32> &table, quint32 sectors, quint32 start,
                            size_t limit, const QString &what, std::vector<quint32> &chain) const
{
    chain.clear();
    std::vector<bool> seen(table.size(), false);
    quint32 at = start;
    while (at != kEndOfChain && chain.size() < limit) {
        if (at >= table.size() || at >= sectors)
            return fail(QStringLiteral("the sector chain of %1 leaves the file").arg(what));
        if (seen[at])
            return fail(QStringLiteral("the sector chain of %1 loops").arg(what));
        seen[at] = true;
        chain.push_back(at);
        at = table[at];
    }
    return true;
}

bool Container::readDirectory()
{
    std::vector<quint32> chain;
    const QString what = QStringLiteral("the directory");
    if (!followChain(m_fat, m_sectorsInFile, m_firstDirectorySector, m_fat.size(), what, chain))
        return false;
    if (chain.empty())
        return fail(QStringLiteral("the compound file has no directory"));
    const int perSector = m_sectorSize / kDirectoryEntrySize;
    m_entries.reserve(chain.size() * size_t(perSector));
    for (quint32 sector : chain) {
        if (!wholeSector(sector))
            return fail(QStringLiteral("a directory sector lies outside the file"));
        const char *s = m_file.constData() + sectorOffset(sector);
        for (int i = 0; i < perSector; ++i) {
            const char *e = s + i * kDirectoryEntrySize;
            DirectoryEntry entry;
            const int nameBytes = u16At(e + 0x40);
            const int nameChars = nameBytes >= 2 && nameBytes <= 64 ? nameBytes / 2 - 1 : 0;
            entry.name.reserve(nameChars);
            for (int c = 0; c < nameChars; ++c)
                entry.name.append(QChar(u16At(e + 2 * c)));
            entry.type = EntryType(quint8(e[0x42]));
            entry.left = u32At(e + 0x44);
            entry.right = u32At(e + 0x48);
            entry.child = u32At(e + 0x4C);
            entry.start = u32At(e + 0x74);
            // Version 3 files may leave garbage in the high half of the size.
            entry.size = m_majorVersion == 3 ? u32At(e + 0x78) : u64At(e + 0x78);
            m_entries.push_back(std::move(entry));
        }
    }
    if (m_entries.front().type != EntryType::Root)
        return fail(QStringLiteral("the first directory entry is not the root storage"));
    return true;
}

bool Container::readRegular(quint32 start, quint64 size, const QString &what, QByteArray &out) const
{
    out.clear();
    if (size > quint64(m_file.size()))
        return fail(QStringLiteral("%1 is larger than the file").arg(what));
    const size_t needed = size_t((size + quint64(m_sectorSize) - 1) / quint64(m_sectorSize));
    std::vector<quint32> chain;
    if (!followChain(m_fat, m_sectorsInFile, start, needed, what, chain))
        return false;
    if (chain.size() < needed)
        return fail(QStringLiteral("the sector chain of %1 ends too early").arg(what));
    out.resize(qsizetype(size));
    qint64 done = 0;
    for (quint32 sector : chain) {
        const qint64 take = std::min<qint64>(m_sectorSize, qint64(size) - done);
        const qint64 offset = sectorOffset(sector);
        if (offset < 0 || offset + take > m_file.size())
            return fail(QStringLiteral("%1 runs past the end of the file").arg(what));
        std::memcpy(out.data() + done, m_file.constData() + offset, size_t(take));
        done += take;
    }
    return true;
}

bool Container::readMiniStream()
{
    const DirectoryEntry &root = m_entries.front();
    if (root.size == 0 || root.start == kEndOfChain)
        return true;
    if (!readRegular(root.start, root.size, QStringLiteral("the mini stream"), m_miniStream))
        return false;
    std::vector<quint32> chain;
    if (!followChain(m_fat, m_sectorsInFile, m_firstMiniFatSector, m_fat.size(),
                     QStringLiteral("the mini FAT"), chain))
        return false;
    const int perSector = m_sectorSize / 4;
    m_miniFat.reserve(chain.size() * size_t(perSector));
    for (quint32 sector : chain) {
        if (!wholeSector(sector))
            return fail(QStringLiteral("a mini FAT sector lies outside the file"));
        const char *s = m_file.constData() + sectorOffset(sector);
        for (int i = 0; i < perSector; ++i)
            m_miniFat.push_back(u32At(s + 4 * i));
    }
    return true;
}

bool Container::readMini(quint32 start, quint64 size, const QString &what, QByteArray &out) const
{
    out.clear();
    if (size > quint64(m_miniStream.size()))
        return fail(QStringLiteral("%1 is larger than the mini stream").arg(what));
    const size_t needed = size_t((size + kMiniSectorSize - 1) / kMiniSectorSize);
    std::vector<quint32> chain;
    if (!followChain(m_miniFat, miniSectorsInStream(), start, needed, what, chain))
        return false;
    if (chain.size() < needed)
        return fail(QStringLiteral("the sector chain of %1 ends too early").arg(what));
    out.resize(qsizetype(size));
    qint64 done = 0;
    for (quint32 sector : chain) {
        const qint64 take = std::min<qint64>(kMiniSectorSize, qint64(size) - done);
        const qint64 offset = qint64(sector) * kMiniSectorSize;
        if (offset + take > m_miniStream.size())
            return fail(QStringLiteral("%1 runs past the end of the mini stream").arg(what));
        std::memcpy(out.data() + done, m_miniStream.constData() + offset, size_t(take));
        done += take;
    }
    return true;
}

bool Container::readStream(const DirectoryEntry &entry, QByteArray &out) const
{
    const QString what = QStringLiteral("the stream %1").arg(entry.name);
    if (entry.size < m_miniCutoff)
        return readMini(entry.start, entry.size, what, out);
    return readRegular(entry.start, entry.size, what, out);
}

quint32 Container::findRootStream(const QStringList &names) const
{
    // The children of a storage form a tree through left and right links, with the first child
    // named by the storage. Only the root's own children count: embedded objects keep streams
    // of the same names in storages of their own.
    std::vector<bool> seen(m_entries.size(), false);
    std::vector<quint32> pending{m_entries.front().child};
    quint32 best = kNoEntry;
    int bestRank = int(names.size());
    while (!pending.empty()) {
        const quint32 at = pending.back();
        pending.pop_back();
        if (at >= m_entries.size() || seen[at])
            continue;
        seen[at] = true;
        const DirectoryEntry &e = m_entries[at];
        if (e.type == EntryType::Stream) {
            for (int rank = 0; rank < bestRank; ++rank) {
                if (e.name.compare(names[rank], Qt::CaseInsensitive) == 0) {
                    best = at;
                    bestRank = rank;
                    break;
                }
            }
        }
        pending.push_back(e.left);
        pending.push_back(e.right);
    }
    return best;
}

} // namespace

CompoundStreamResult readCompoundStream(const QByteArray &file, const QStringList &names)
{
    CompoundStreamResult result;
    Container container(file);
    if (!container.readHeader()) {
        result.errorKind = container.isSigned() ? CompoundStreamResult::Error::Damaged
                                                : CompoundStreamResult::Error::NotCompoundFile;
        result.error = container.error();
        return result;
    }
    if (!container.readFat() || !container.readDirectory() || !container.readMiniStream()) {
        result.errorKind = CompoundStreamResult::Error::Damaged;
        result.error = container.error();
        return result;
    }
    const quint32 index = container.findRootStream(names);
    if (index == kNoEntry) {
        result.errorKind = CompoundStreamResult::Error::NoStream;
        result.error = QStringLiteral("the compound file has no stream named %1")
                           .arg(names.join(QStringLiteral(" or ")));
        return result;
    }
    if (!container.readStream(container.entry(index), result.bytes)) {
        result.errorKind = CompoundStreamResult::Error::Damaged;
        result.error = container.error();
        result.bytes.clear();
    }
    return result;
}

} // namespace corvane
