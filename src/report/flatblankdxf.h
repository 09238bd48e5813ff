#pragma once

// The flat blank of a section as a drawing for the cutting machine's software.
//
// In: the section's calculation and the blank's width W in millimetres. Out: the bytes of an ASCII
// DXF file of AutoCAD R12 (AC1009), the version that every cutting machine's software reads, in
// millimetres ($INSUNITS 4), coordinates with six decimals. The blank lies from (0, 0) to (U, W),
// U the unfolded length, x along the blank from its left end as in the marking diagram:
//   OUTLINE     the blank's outline, a closed polyline
//   BEND_UP     a line across the blank at each bend of a positive angle, continuous
//   BEND_DOWN   the same at each bend of a negative angle, in the dashed line type DASHED
//   BEND_TEXT   beside each bend line, the marking diagram's label ("Up 90", "Dn 45") and the
//               bend's vee ("V 16"), running along the line
//   BEND_MARKS  a short mark on each bend line at both edges of the blank, to etch or leave
// A bend line lies at x = S(i + 1), the running sum of the flat lengths up to flange i that the
// marking diagram's distance-from-left label shows, unrounded. A bend of angle 0 gets nothing.
//
// The writer is a pure function; who decides which sections get a file (those whose report
// status is ok and that have a width) is its caller's.

#include "calculation/bendcalculation.h"

#include <QByteArray>

namespace corvane {

QByteArray flatBlankDxf(const BendCalculation &calculation, float width);

} // namespace corvane
