#include "shell/report/reportassembly.h"

#include "compute/calculation/sectionpage.h"
#include "input/editing/jobeditor.h"
#include "shell/ground/filewrite.h"

#include <QDir>
#include <QFile>

namespace corvane {

QByteArray pageSeparator()
{
    return QByteArrayLiteral("<div style='page-break-after:always; clear:both;'>&nbsp;</div>");
}

QByteArray joinPages(const QList<QByteArray> &pages)
{
    QByteArray document;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            document += pageSeparator();
        document += pages.at(i);
    }
    return document;
}

QString joinedDocumentPath(const QString &tempFolder)
{
    return QDir(tempFolder).filePath(QStringLiteral("wball.htm"));
}

ReportAssembly assembleReport(const Job &job, const QString &tempFolder,
                              const std::function<QString(int)> &showSection)
{
    ReportAssembly result;
    QList<QByteArray> pages;
    for (int n = 1; n <= kSectionCount; ++n) {
        if (!job.section(n).inUse())
            continue;
        const QString written = showSection(n);
        if (!written.isEmpty()) {
            result.error = written;
            return result;
        }
        // The page is read back as the computation left it on disk: what is printed is what the
        // preview shows.
        const QString path = sectionPagePath(tempFolder, n);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            result.error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
            return result;
        }
        pages.append(file.readAll());
        result.sections.append(n);
    }
    result.path = joinedDocumentPath(tempFolder);
    result.error = replaceFile(result.path, joinPages(pages));
    return result;
}

ReportAssembly assembleReport(JobEditor &editor)
{
    const int before = editor.activeSectionIndex();
    QString writeError;
    const QMetaObject::Connection connection =
        QObject::connect(&editor, &JobEditor::writeFailed, [&writeError](const QString &message) {
            if (writeError.isEmpty())
                writeError = message;
        });
    const ReportAssembly result =
        assembleReport(editor.job(), editor.pageOptions().tempFolder, [&](int n) {
            writeError.clear();
            editor.showSection(n);
            return writeError;
        });
    QObject::disconnect(connection);
    if (before != 0)
        editor.showSection(before);
    return result;
}

} // namespace corvane
