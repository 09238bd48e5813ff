#pragma once

// One run of the computation of a section: what every edit of the shown section sets off.
//
// It calculates the section against the bend table, brings the section's vee colours up to date,
// draws the section diagram and the marking diagram on the section's canvas, and writes
// sd<N>.bmp, md<N>.bmp and the report page wb<N>.htm into the temp folder. The pictures are
// written before the page that shows them. The files are rewritten in place (overwriteFile in
// shell/ground/filewrite.h), which keeps a keystroke from waiting on the file system: a browser
// that reads them while a run rewrites them may find them half-written, so whoever shows the page
// loads it again after the run (the preview pane does). A run whose gate fails writes a page with
// the job header only and leaves the pictures of earlier runs alone; so does a vee error for
// md<N>.bmp.
//
// The caller shows "Computing..." while it runs (status callback) and then the page at pageUrl.

#include "bendtable/bendtable.h"
#include "compute/calculation/bendcalculation.h"
#include "compute/calculation/sectionpage.h"
#include "diagrams/canvas.h"
#include "shell/ground/job.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace corvane {

struct SectionRun
{
    BendCalculation calculation;
    QString pagePath;
    QUrl pageUrl;
    QString error; // a file that could not be written, and why; empty when all were written
};

// Computes section number (1 to 5) of the job. The canvas is the section's own: its font carries
// over from one run to the next. status receives "Computing..." at the start and "" at the end.
SectionRun computeSection(Job &job, int number, const BendTable &table, const PageOptions &options,
                          Canvas &canvas, const std::function<void(const QString &)> &status = {});

} // namespace corvane
