#pragma once

// Text encodings of the files that operators keep on disk. Job files written by the Windows
// program are Windows-1252; Corvane writes Windows-1252 whenever every character fits, so that
// such files stay readable there, and UTF-8 (without a byte-order mark) otherwise. On reading,
// valid UTF-8 is taken as UTF-8 and anything else as Windows-1252. Pure ASCII is the same in both.

#include <QByteArray>
#include <QString>

#include <optional>

namespace corvane {

// The text in Windows-1252, or nothing when a character has no place in it.
std::optional<QByteArray> toWindows1252(const QString &text);
QString fromWindows1252(const QByteArray &bytes);

bool isValidUtf8(const QByteArray &bytes);

QByteArray encodeFileText(const QString &text);
QString decodeFileText(const QByteArray &bytes);

} // namespace corvane
