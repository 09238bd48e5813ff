#pragma once

// The program folder: where BendTbl.xls, logo.png and the temp folder of generated pages live.
//
// A copy run from its build tree or unpacked in a folder of its own has its own files beside the
// executable (BendTbl.xls, logo.png, the web engine module), and that folder is the program
// folder, even when one of them, the workbook say, is missing for a while: the operator is told
// which workbook is missing, and putting it back is all it takes. An installed copy has none of
// them beside it in bin/; it keeps its read-only data under share/corvane, and its program folder
// is the user's data folder, which is seeded from the installed workbook and logo on first start,
// so that operators can edit their own bend table.

#include <QString>
#include <QStringList>

namespace corvane {

struct ProgramFolder
{
    QString path;
    QString error; // why the user's data folder could not be made ready; empty when it could
};

// Decides the program folder from the executable's folder, the user's data folder and the folders
// that may hold installed data (searched in order), copying BendTbl.xls and logo.png into the
// user's folder where they are missing there.
ProgramFolder resolveProgramFolder(const QString &executableFolder, const QString &userDataFolder,
                                   const QStringList &installedDataFolders);

// The user's data folder, ~/.local/share/Corvane: the same for both programs, whatever
// organisation and application names they give Qt.
QString userDataFolder();

// The program folder of this process, resolved once.
const ProgramFolder &programFolder();

QString tempFolder(const QString &programFolder);
QString bendTablePath(const QString &programFolder);
QString logoPath(const QString &programFolder);

} // namespace corvane
