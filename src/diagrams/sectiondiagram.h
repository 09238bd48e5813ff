#pragma once

// The section diagram: the bent profile of one section as seen along its bend lines.
//
// Every flange is a straight line as long as its outside length, to scale ("1:1 Scale") or
// logarithmically compressed, and at every bend the next flange turns by the bend's signed angle
// (positive counterclockwise on the picture, y growing downward); the whole profile turns by the
// section's rotation. Each flange is labelled with its outside length in the display unit. The
// picture is fitted into a square with the label margin that the canvas measures in the font its
// previous drawing left (Canvas::addLabelMargin). Lengths, angles and the rotation are the numbers
// of the section's calculation. The caller saves the canvas as sd<N>.bmp.

#include "calculation/bendcalculation.h"
#include "diagrams/canvas.h"
#include "ground/units.h"

namespace corvane {

// The font the section diagram labels its flanges in, and leaves on the canvas.
inline constexpr CanvasFont kSectionDiagramFont{9, true};

// The drawn length of a flange: the length itself at 1:1 scale, ln(length) + 1 otherwise. A length
// of 0 or less has no logarithm and is drawn with no length.
float scaleLength(float length, int scale);

// Draws the flanges of a calculation whose gate passed; scale is the section's 1:1 Scale.
void drawSectionDiagram(Canvas &canvas, const BendCalculation &calculation, int scale,
                        LengthUnit unit);

} // namespace corvane
