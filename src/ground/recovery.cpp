#include "ground/recovery.h"

#include "ground/filewrite.h"
#include "ground/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace corvane {

namespace {

const QString kJobFile = QStringLiteral("job.bm");
const QString kPathSuffix = QStringLiteral(".path");

// The file beside a copy that names the job file it belongs to.
QString pathFileOf(const QString &copy)
{
    return copy.left(copy.size() - 3) + kPathSuffix;
}

QString fileError(const QString &path, const QFile &file)
{
    return QStringLiteral("Cannot remove %1: %2")
        .arg(QDir::toNativeSeparators(path), file.errorString());
}

} // namespace

RecoveryFolder::RecoveryFolder(QString folder) : m_folder(std::move(folder)) {}

QString RecoveryFolder::standardPath()
{
    return QDir(userDataFolder()).filePath(QStringLiteral("recovery"));
}

QString RecoveryFolder::jobFile() const
{
    return QDir(m_folder).filePath(kJobFile);
}

QString RecoveryFolder::write(const JobFileContent &content, const QString &original) const
{
    if (QString error = makeFolder(m_folder); !error.isEmpty())
        return error;
    // The name first: it changes only where the copy was removed before (Save, New, Open).
    if (QString error = replaceFile(pathFileOf(jobFile()), original.toUtf8()); !error.isEmpty())
        return error;
    return writeJobFile(content, jobFile()).error;
}

QString RecoveryFolder::remove() const
{
    for (const QString &path : {jobFile(), pathFileOf(jobFile())}) {
        QFile file(path);
        if (file.exists() && !file.remove())
            return fileError(path, file);
    }
    return QString();
}

QList<RecoveredJob> RecoveryFolder::found(const QString &tempFolder) const
{
    QList<RecoveredJob> copies;
    const QFileInfo own(jobFile());
    if (own.isFile()) {
        QFile pathFile(pathFileOf(own.filePath()));
        const QString original =
            pathFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(pathFile.readAll()) : QString();
        copies.append({own.filePath(), original, own.lastModified()});
    }
    // Those an earlier version named once are not offered again.
    const QFileInfoList old =
        QDir(tempFolder).entryInfoList({QStringLiteral("recovered-*.bm")}, QDir::Files, QDir::Time);
    for (const QFileInfo &info : old) {
        if (!info.fileName().endsWith(QStringLiteral("-reported.bm")))
            copies.append({info.filePath(), QString(), info.lastModified()});
    }
    return copies;
}

RecoveryFolder::Kept RecoveryFolder::keep(const RecoveredJob &copy) const
{
    if (QString error = makeFolder(m_folder); !error.isEmpty())
        return {copy.file, error};
    const QString stamp = copy.changed.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = QDir(m_folder).filePath(QStringLiteral("kept-%1.bm").arg(stamp));
    for (int n = 2; QFileInfo::exists(target) || QFileInfo::exists(pathFileOf(target)); ++n)
        target = QDir(m_folder).filePath(QStringLiteral("kept-%1-%2.bm").arg(stamp).arg(n));
    QFile file(copy.file);
    if (!file.rename(target)) {
        return {copy.file, QStringLiteral("Cannot move %1 to %2: %3")
                               .arg(QDir::toNativeSeparators(copy.file),
                                    QDir::toNativeSeparators(target), file.errorString())};
    }
    // The name of its job file goes with it; a copy of the old kind has none.
    if (QFileInfo::exists(pathFileOf(copy.file)))
        QFile::rename(pathFileOf(copy.file), pathFileOf(target));
    return {target, QString()};
}

} // namespace corvane
