#pragma once

// Where the program's queries get the bend table from.
//
// Operators edit BendTbl.xls while the program runs, and every query must see the workbook as
// last saved. A BendTableSource keeps the table read from the file together with the file's
// identity (device, inode, size, modification and change times to the nanosecond) and reads the
// file again only when that identity changes, so a query costs a stat() when nothing changed.
// A file modified within the last two seconds is read again at the next call all the same: a
// second save within one tick of the file system's clock would leave its times unchanged.
//
// table() never fails: a missing, unreadable or broken workbook gives an empty table, and
// error() says what is wrong, naming the file. The first call after the workbook is mended gives
// its records again.

#include "bendtable/bendtable.h"

#include <QString>

#include <memory>
#include <optional>

namespace corvane {

class BendTableSource
{
public:
    explicit BendTableSource(QString path);

    const QString &path() const { return m_path; }
    // The table of the workbook as it is now on disk; an empty table when it cannot be read.
    std::shared_ptr<const BendTable> table();
    // Why the last table() gave an empty table; empty when the workbook was read.
    const QString &error() const { return m_error; }
    // How many times the file has been opened and read so far.
    int readCount() const { return m_readCount; }

    // Workbooks larger than this are refused: a bend table is tens of kilobytes.
    static constexpr qint64 kMaxBytes = 64 * 1024 * 1024;

private:
    struct Identity
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modified = 0; // nanoseconds since the epoch
        qint64 changed = 0;
        bool operator==(const Identity &other) const;
        bool operator!=(const Identity &other) const { return !(*this == other); }
    };
    enum class ReadOutcome
    {
        Done,
        Changed
    };
    ReadOutcome readOnce();

    QString m_path;
    std::shared_ptr<const BendTable> m_table;
    QString m_error;
    // Identity of the file that m_table and m_error describe; none forces a read.
    std::optional<Identity> m_identity;
    int m_readCount = 0;
};

} // namespace corvane
