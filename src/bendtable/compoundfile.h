#pragma once

// The compound file container (OLE2) that holds an Excel 97-2003 workbook.
//
// A compound file is a small file system inside one file: a header, a FAT of sector chains
// (its own sectors listed by the header and by further DIFAT sectors), a directory of storages
// and streams, and a mini stream with its mini FAT for streams below the cutoff size. The
// workbook reader needs one stream of the root storage; readCompoundStream() finds it by name
// and gives its bytes. Every size, chain and offset is checked against the file, so damaged or
// hostile input gives an error, never a crash or an endless loop, and memory stays in
// proportion to the file.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace corvane {

struct CompoundStreamResult
{
    enum class Error
    {
        None,
        NotCompoundFile, // the file does not start with the compound file signature
        NoStream,        // none of the names is a stream of the root storage
        Damaged,
    };
    QByteArray bytes;
    Error errorKind = Error::None;
    QString error; // what is wrong, without a file name; empty when the stream was read

    bool ok() const { return errorKind == Error::None; }
};

// The bytes of the first of `names` (compared without regard to case) that is a stream directly
// in the root storage.
CompoundStreamResult readCompoundStream(const QByteArray &file, const QStringList &names);

} // namespace corvane
