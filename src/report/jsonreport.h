#pragma once

// The report of a run as one JSON document, for the shop's order and planning systems:
//   {"jobs": [{"file", "customer", "part", "revision", "description", "material", "thickness",
//              "error" (only when the job could not be read or written), "sections": [...]}]}
// with, for each section in use, "section" (1 to 5), "status" (the report line's), "view",
// "width", "unfolded_length", "flanges": [{"outside", "flat_length"}] for flanges 0 to the last,
// and "bends": [{"angle", "vee", "k_factor", "inside_radius", "bend_allowance",
// "outside_setback", "bend_deduction", "bend_line"}] for the bends between them.
//
// Every number is what the section's page shows in millimetres, whatever unit the pages are in:
// a length as the page writes it in mm (OSSB, BA, BD, the flat lengths and the total rounded half
// to even to two decimals), the K factor as the page shows it; "bend_line" is the bend line's
// distance from the left end, as the marking diagram shows it. A value that the page leaves empty
// or shows as "n/a" is null: the bend values of a bend of angle 0, the K factor, inside radius and
// OSSB of a bend the table has no single row for, the flat length of a flange of none.

#include "calculation/bendcalculation.h"
#include "ground/job.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace corvane {

struct JsonSection
{
    int number = 0;
    BendCalculation calculation;
    std::optional<float> width; // the blank's width that the section's DXF has, if any
};

// A job that was reported: the file name as given, the job as opened and its sections in use.
QJsonObject jobJson(const QString &file, const Job &job, const QList<JsonSection> &sections);
// A job that could not be read or written.
QJsonObject failedJobJson(const QString &file, const QString &error);

// The document of a run: {"jobs": [...]}, indented, ending with a line break.
QByteArray reportJson(const QList<QJsonObject> &jobs);

} // namespace corvane
