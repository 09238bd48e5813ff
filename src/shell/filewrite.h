#pragma once

#include <QByteArray>
#include <QString>

namespace corvane {

// Replaces a generated file (a report page, a picture) with new contents: the bytes go to a new
// file beside it, which is then renamed over the old one. A reader sees the old file or the new
// one, never a half-written one, and no time is spent waiting for the old contents to be flushed.
// Returns an error naming the file, or the empty text.
QString replaceFile(const QString &path, const QByteArray &bytes);

} // namespace corvane
