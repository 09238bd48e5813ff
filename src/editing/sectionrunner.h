#pragma once

// The run of one section: what every edit of the shown section sets off, and what printing and
// corvane-report do for each section in use.
//
// In: the job, a section number, the bend table and the page options. Out, as a value: the
// section's calculation (which also tells its vee colours), the page and the pictures written
// into the temp folder (sd<N>.bmp, md<N>.bmp, then wb<N>.htm, which shows them) and any write
// error, naming the file and the system's reason. A run whose gate fails writes a page with the
// job header only and leaves the pictures of earlier runs alone; so does a vee error for
// md<N>.bmp. The job is only read: its vee colours are the caller's to set from the calculation
// (applyVeeColours).
//
// Each section draws on a canvas of its own, and a canvas keeps its font from one drawing to the
// next: the margin of a section diagram is measured in the font that the section's previous
// drawing left. The runner owns the five canvases. The editing logic merges the runs of one
// operation into one: it notes every run it skips (note), which moves the canvas's font on to the
// one that run's drawings would have left (each diagram says which), and writes the last one
// (write), drawing from the font the run before it left. A whole run is both (run).
//
// The files are rewritten in place (overwriteFile in ground/filewrite.h), which keeps a
// keystroke from waiting on the file system. The run also hands back the page and its pictures as
// written, so that whoever shows the page can bring it up to date from them, without reading
// files that the next run may be rewriting.

#include "bendtable/bendtable.h"
#include "calculation/bendcalculation.h"
#include "calculation/sectionpage.h"
#include "diagrams/canvas.h"
#include "ground/filewrite.h"
#include "ground/job.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <array>
#include <memory>

namespace corvane {

class ImageCanvas;

struct SectionRun
{
    BendCalculation calculation;
    QString pagePath;
    QUrl pageUrl;
    QByteArray page;             // the page as written
    QList<FileContent> pictures; // the pictures written, the ones that the page shows
    QString error; // a file that could not be written, and why; empty when all were written
    bool ok() const { return error.isEmpty(); }
};

class SectionRunner
{
public:
    SectionRunner();
    ~SectionRunner();
    SectionRunner(const SectionRunner &) = delete;
    SectionRunner &operator=(const SectionRunner &) = delete;

    // A whole run of section number (1 to 5): note, then write.
    SectionRun run(const Job &job, int number, const BendTable &table, const PageOptions &options);

    // Calculates the section and notes a run of it, which moves the section's font history on as
    // the run's drawing would; nothing is drawn or written.
    BendCalculation note(const Job &job, int number, const BendTable &table);
    // Draws and writes the run noted last for the section, from its calculation.
    SectionRun write(const Job &job, int number, const BendCalculation &calculation,
                     const PageOptions &options);

    // Every canvas new, in the window design's font: the windows were loaded again (New).
    void reset();

    // The font each section's next run starts from, such that a run of shown, the section last
    // run, draws again from the font its last run started from; and the fonts set so (Undo).
    std::array<CanvasFont, kSectionCount> startFonts(int shown) const;
    void setStartFonts(const std::array<CanvasFont, kSectionCount> &fonts);

private:
    struct SectionCanvas
    {
        std::unique_ptr<ImageCanvas> canvas;
        CanvasFont beforeLastRun; // the font that the run noted last starts from
    };
    std::array<SectionCanvas, kSectionCount> m_canvases;
};

} // namespace corvane
