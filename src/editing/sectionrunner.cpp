#include "editing/sectionrunner.h"

#include "diagrams/imagecanvas.h"
#include "diagrams/markingdiagram.h"
#include "diagrams/sectiondiagram.h"
#include "ground/filewrite.h"

#include <QDir>

namespace corvane {

namespace {

// The drawings of a run whose calculation passed its gate: the section diagram, then the marking
// diagram unless a vee is too wide.
bool drawsSectionDiagram(const BendCalculation &c)
{
    return c.gatePassed;
}

bool drawsMarkingDiagram(const BendCalculation &c)
{
    return c.gatePassed && !c.veeError;
}

} // namespace

SectionRunner::SectionRunner()
{
    reset();
}

SectionRunner::~SectionRunner() = default;

void SectionRunner::reset()
{
    for (SectionCanvas &section : m_canvases)
        section = {std::make_unique<ImageCanvas>(), {}};
}

std::array<CanvasFont, kSectionCount> SectionRunner::startFonts(int shown) const
{
    std::array<CanvasFont, kSectionCount> fonts;
    for (int n = 1; n <= kSectionCount; ++n) {
        const SectionCanvas &state = m_canvases[n - 1];
        fonts[n - 1] = n == shown ? state.beforeLastRun : state.canvas->font();
    }
    return fonts;
}

void SectionRunner::setStartFonts(const std::array<CanvasFont, kSectionCount> &fonts)
{
    for (int n = 0; n < kSectionCount; ++n)
        m_canvases[n].canvas->setFont(fonts[n]);
}

SectionRun SectionRunner::run(const Job &job, int number, const BendTable &table,
                              const PageOptions &options)
{
    return write(job, number, note(job, number, table), options);
}

BendCalculation SectionRunner::note(const Job &job, int number, const BendTable &table)
{
    SectionCanvas &state = m_canvases.at(number - 1);
    ImageCanvas &canvas = *state.canvas;
    state.beforeLastRun = canvas.font();
    BendCalculation c =
        calculateSection(job.section(number), job.material().text(), job.thickness().text(), table);
    // The canvas is left in the font of the run's last drawing.
    if (drawsSectionDiagram(c))
        canvas.setFont(kSectionDiagramFont);
    if (drawsMarkingDiagram(c))
        canvas.setFont(kMarkingDiagramFont);
    return c;
}

SectionRun SectionRunner::write(const Job &job, int number, const BendCalculation &calculation,
                                const PageOptions &options)
{
    SectionCanvas &state = m_canvases.at(number - 1);
    ImageCanvas &canvas = *state.canvas;
    canvas.setFont(state.beforeLastRun);

    const Section &section = job.section(number);
    SectionRun run;
    run.calculation = calculation;
    const BendCalculation &c = run.calculation;
    // The temp folder is made at start; it is made again should it have gone meanwhile.
    QDir().mkpath(options.tempFolder);
    auto write = [&run](const QString &path, const QByteArray &bytes) {
        const QString error = overwriteFile(path, bytes);
        if (run.error.isEmpty())
            run.error = error;
    };
    auto writePicture = [&](const QString &path) {
        run.pictures.append({path, canvas.encodeBitmap()});
        write(path, run.pictures.last().bytes);
    };
    if (drawsSectionDiagram(c)) {
        drawSectionDiagram(canvas, c, section.scale(), options.unit);
        writePicture(sectionDiagramPath(options.tempFolder, number));
    }
    if (drawsMarkingDiagram(c)) {
        drawMarkingDiagram(canvas, section, c, options.unit);
        writePicture(markingDiagramPath(options.tempFolder, number));
    }
    run.pagePath = sectionPagePath(options.tempFolder, number);
    run.page = sectionPage(job, number, c, options).toUtf8();
    write(run.pagePath, run.page);
    run.pageUrl = QUrl::fromLocalFile(run.pagePath);
    return run;
}

} // namespace corvane
