#pragma once

// The report page of one section, as HTML text.
//
// The page is the program's banner, the job header, and an outer table: its first row holds the
// spec table (a row per flange, the total, then the notes) and the section diagram, its
// second row the marking diagram, or a red notice when a vee is too wide. A section whose
// calculation failed its gate gets the banner and job header only. Every line ends with CR LF and
// the page is written in UTF-8, as its head declares. Texts typed by operators are escaped, so a
// "<" in a note shows as a "<" and no markup of theirs reaches the browser.
//
// sectionPage() is a pure function of the job, the calculation and the options; a section run
// (editing/sectionrunner.h) writes its result beside the pictures it names.

#include "calculation/bendcalculation.h"
#include "ground/units.h"
#include "ground/job.h"

#include <QString>

namespace corvane {

struct PageOptions
{
    LengthUnit unit = LengthUnit::Millimetre;
    bool detailed = false; // show the K factor, OSSB, BA and BD columns
    QString programFolder; // where logo.png lies
    QString tempFolder;    // where sd<N>.bmp and md<N>.bmp lie
};

QString sectionPage(const Job &job, int number, const BendCalculation &calculation,
                    const PageOptions &options);

// The entered angle as the Bend Angle cell shows it: a blank or a minus sign, the magnitude with up
// to 15 significant digits and no 0 before the point, then a blank (" 90 ", "-45 ", " .5 ").
QString angleText(double angle);

// The section diagram's scale caption: "1:1 Scale" or "Not 1:1 Scale".
QString scaleLabel(int scale);

// &, < and > as entities.
QString escapeHtml(const QString &text);

// An absolute path written so that it stays one intact address in a page's src attribute.
QString pageAddress(const QString &path);

QString sectionDiagramPath(const QString &tempFolder, int number);
QString markingDiagramPath(const QString &tempFolder, int number);
QString sectionPagePath(const QString &tempFolder, int number);

} // namespace corvane
