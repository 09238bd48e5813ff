#pragma once

// The marking diagram: the flat blank of a section with its bend lines, schematic.
//
// The blank is a long rectangle split into equal segments, one per flange, whatever their real
// lengths. Each bend is a line across the blank, solid for Up (positive angle) and dotted for Dn,
// with its label; an arrow on the base line below points at it with the bend's angle as typed and
// its vee. Dimension chains give each bend line's distance from both ends of the blank and, when
// there are bends, each flange's flat length. All lengths shown are rounded to two decimals, half
// to even, and shown in the display unit. Numbers come from the section's calculation; the angle
// and vee labels show the section's texts as typed. The picture's margin is the canvas's label
// margin (Canvas::addLabelMargin). The caller saves the canvas as md<N>.bmp.

#include "calculation/bendcalculation.h"
#include "diagrams/canvas.h"
#include "ground/units.h"
#include "ground/job.h"

namespace corvane {

// The font the marking diagram labels in, and leaves on the canvas.
inline constexpr CanvasFont kMarkingDiagramFont{8, true};

// An arrowhead with its point at the current position, 0.01 × size long: direction +1 points left,
// -1 points right. The pen ends where it started.
void drawArrowHead(Canvas &canvas, int direction, float size);

// Draws the marking diagram of a calculation whose gate passed. A blank of no positive length
// cannot be scaled; the picture then stays empty.
void drawMarkingDiagram(Canvas &canvas, const Section &section, const BendCalculation &calculation,
                        LengthUnit unit);

} // namespace corvane
