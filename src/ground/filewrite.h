#pragma once

// Writing generated files: report pages, their pictures and the joined print document, and the
// folders they go into.

#include <QByteArray>
#include <QString>

namespace corvane {

// A generated file as written: where it is and what it holds.
struct FileContent
{
    QString path;
    QByteArray bytes;
};

// Replaces a file with new contents: the bytes go to a new file beside it, which is then renamed
// over the old one. A reader sees the old file or the new one, never a half-written one. Returns
// an error naming the file, or the empty text.
QString replaceFile(const QString &path, const QByteArray &bytes);

// Rewrites a file that this program writes again and again (a section's page and pictures after
// every keystroke): the bytes are written over the old ones in the same file, which is cut where
// the new contents end. Replacing the file instead costs the file system a flush of the new file
// at the rename, several times what writing the bytes costs. A reader that reads the file while it
// is rewritten may find a mix of old and new bytes; the preview pane loads a page again when it
// changed while loading. Files are replaced as by replaceFile instead when the file is missing or
// cannot be opened for writing, when it is a link of any kind (a symbolic link, a second hard
// link), when the new contents might not fit (a full disk, a file size limit), and while a
// WholeFileWrites lives; a failure then leaves the old file. A write in place that fails all the
// same removes the half-written file. Returns an error naming the file, or the empty text.
QString overwriteFile(const QString &path, const QByteArray &bytes);

// Why a file could not be written at path by replaceFile, found out before anything is written:
// a missing folder, a folder closed to the operator or on a read-only file system, or a file
// there that the operator may not replace (which a save refuses too). The message names the file
// and the system's reason; the empty text when nothing stands in the way.
QString writeProblem(const QString &path);

// Makes the folder at path and the folders above it that are missing. Returns why it could not,
// naming the folder and the system's reason, or a file that stands where a folder must be; the
// empty text when the folder is there.
QString makeFolder(const QString &path);

// While one of these lives, overwriteFile replaces files whole: for a renderer that reads the
// generated files of its own accord while the operator may go on typing (PDF export).
class WholeFileWrites
{
public:
    WholeFileWrites();
    ~WholeFileWrites();
    WholeFileWrites(const WholeFileWrites &) = delete;
    WholeFileWrites &operator=(const WholeFileWrites &) = delete;
};

} // namespace corvane
