#include "compute/run/computesection.h"

#include "diagrams/markingdiagram.h"
#include "diagrams/sectiondiagram.h"
#include "shell/ground/filewrite.h"

#include <QDir>

namespace corvane {

SectionRun computeSection(Job &job, int number, const BendTable &table, const PageOptions &options,
                          Canvas &canvas, const std::function<void(const QString &)> &status)
{
    if (status)
        status(QStringLiteral("Computing..."));

    Section &section = job.section(number);
    SectionRun run;
    run.calculation =
        calculateSection(section, job.material().text(), job.thickness().text(), table);
    const BendCalculation &c = run.calculation;
    applyVeeColours(section, c);

    // The temp folder is made at start; it is made again should it have gone meanwhile.
    QDir().mkpath(options.tempFolder);
    auto write = [&run](const QString &path, const QByteArray &bytes) {
        const QString error = overwriteFile(path, bytes);
        if (run.error.isEmpty())
            run.error = error;
    };
    if (c.gatePassed) {
        drawSectionDiagram(canvas, section, c.lastFlange, options.unit);
        write(sectionDiagramPath(options.tempFolder, number), canvas.encodeBitmap());
        if (!c.veeError) {
            drawMarkingDiagram(canvas, section, c, options.unit);
            write(markingDiagramPath(options.tempFolder, number), canvas.encodeBitmap());
        }
    }
    run.pagePath = sectionPagePath(options.tempFolder, number);
    write(run.pagePath, sectionPage(job, number, c, options).toUtf8());
    run.pageUrl = QUrl::fromLocalFile(run.pagePath);

    if (status)
        status(QString());
    return run;
}

} // namespace corvane
