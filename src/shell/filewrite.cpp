#include "shell/filewrite.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace corvane {

QString replaceFile(const QString &path, const QByteArray &bytes)
{
    const QString part = path + QStringLiteral(".part");
    QFile file(part);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const QString reason = file.errorString();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        QFile::remove(part);
        return QStringLiteral("Cannot write %1: %2").arg(path, reason);
    }
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) !=
        0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(part);
        return QStringLiteral("Cannot write %1: %2").arg(path, why);
    }
    return {};
}

} // namespace corvane
