#include "ground/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace corvane {

namespace {

const QString kBendTable = QStringLiteral("BendTbl.xls");
const QString kLogo = QStringLiteral("logo.png");

} // namespace

ProgramFolder resolveProgramFolder(const QString &executableFolder, const QString &userDataFolder,
                                   const QStringList &installedDataFolders)
{
    // A copy that keeps its own files beside it stays there, also when its workbook has gone
    // missing: the missing workbook is named then, and takes effect when it is put back.
    for (const QString &own : {kBendTable, kLogo, QStringLiteral("corvane-webengine.so")}) {
        if (QFileInfo::exists(QDir(executableFolder).filePath(own)))
            return {QDir::cleanPath(executableFolder), {}};
    }

    ProgramFolder result{QDir::cleanPath(userDataFolder), {}};
    QDir user(result.path);
    if (!user.mkpath(QStringLiteral("."))) {
        result.error = QStringLiteral("Cannot create the folder %1").arg(result.path);
        return result;
    }
    for (const QString &name : {kBendTable, kLogo}) {
        const QString target = user.filePath(name);
        if (QFileInfo::exists(target))
            continue;
        for (const QString &folder : installedDataFolders) {
            const QString source = QDir(folder).filePath(name);
            if (!QFileInfo::exists(source))
                continue;
            if (!QFile::copy(source, target)) {
                result.error = QStringLiteral("Cannot copy %1 to %2").arg(source, target);
            } else {
                // The installed copy is read-only; the operator's own copy must be editable.
                QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
            }
            break;
        }
    }
    return result;
}

QString userDataFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Corvane"));
}

const ProgramFolder &programFolder()
{
    static const ProgramFolder folder = [] {
        const QString exe = QCoreApplication::applicationDirPath();
        const QString user = userDataFolder();
        // Version 6.0.0 before its package kept the desktop program's folder one level deeper,
        // in Corvane/Corvane; a table edited there is taken over rather than the installed one.
        return resolveProgramFolder(
            exe, user,
            {QDir(user).filePath(QStringLiteral("Corvane")),
             QDir(exe).filePath(QStringLiteral(CORVANE_DATA_DIR_FROM_BINDIR)),
             QStringLiteral(CORVANE_INSTALLED_DATA_DIR)});
    }();
    return folder;
}

QString tempFolder(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("temp"));
}

QString bendTablePath(const QString &programFolder)
{
    return QDir(programFolder).filePath(kBendTable);
}

QString logoPath(const QString &programFolder)
{
    return QDir(programFolder).filePath(kLogo);
}

} // namespace corvane
