#include "report/reportassembly.h"

#include "ground/filewrite.h"

#include <QDir>

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
                              const std::function<SectionRun(int)> &runSection)
{
    ReportAssembly result;
    QList<QByteArray> pages;
    for (int n = 1; n <= kSectionCount; ++n) {
        if (!job.section(n).inUse())
            continue;
        const SectionRun run = runSection(n);
        if (!run.ok()) {
            result.error = run.error;
            return result;
        }
        pages.append(run.page);
        result.sections.append(n);
        result.calculations.append(run.calculation);
    }
    result.path = joinedDocumentPath(tempFolder);
    result.error = replaceFile(result.path, joinPages(pages));
    return result;
}

} // namespace corvane
