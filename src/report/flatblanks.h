#pragma once

// The flat blanks of a job's sections in use written as DXF files (flatblankdxf.h), for
// corvane-report's --dxf and the desktop program's Export DXF alike.
//
// A section gets a file NAME-N.dxf in the folder when its status is ok and it has a width: its
// own, or else the width given for every section. Each file is written whole or not at all
// (ground/filewrite.h replaceFile). The sections that get none are handed back with the reason.

#include "calculation/bendcalculation.h"
#include "ground/job.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// The width of the section's blank: its own, or else given; none, and why, when it has none or
// its own reads as no length.
std::optional<float> blankWidth(const Section &section, std::optional<float> given,
                                QString *why = nullptr);

struct SkippedBlank
{
    int section = 0;
    QString why;          // "vee error", "it has no width", ...
    bool noWidth = false; // the section is ok but has no usable width
};

struct FlatBlanks
{
    QStringList written; // the files, in section order
    QList<SkippedBlank> skipped;
    QString error; // a file that could not be written, and why; the ones before it stay
};

// sections and calculations are those of the sections in use, in order; name is the job's.
FlatBlanks writeFlatBlanks(const QString &folder, const QString &name, const Job &job,
                           const QList<int> &sections, const QList<BendCalculation> &calculations,
                           std::optional<float> width);

} // namespace corvane
