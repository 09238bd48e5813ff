#pragma once

// The section diagram: the bent profile of one section as seen along its bend lines.
//
// Every flange is a straight line as long as its outside length, to scale ("1:1 Scale") or
// logarithmically compressed, and at every bend the next flange turns by the bend's signed angle
// (positive counterclockwise on the picture, y growing downward); the whole profile turns by the
// section's rotation. Each flange is labelled with its outside length in the display unit. The
// picture is fitted into a square with a margin of the width of "XXXXXX" measured in the font that
// the canvas's previous drawing left. The caller saves the canvas as sd<N>.bmp.

#include "diagrams/canvas.h"
#include "ground/units.h"
#include "ground/job.h"

#include <QString>

namespace corvane {

// The drawn length of a flange: the length itself at 1:1 scale, ln(length) + 1 otherwise. A length
// of 0 or less has no logarithm and is drawn with no length.
float scaleLength(float length, int scale);

// Draws flanges 0 to lastFlange of the section on the canvas.
void drawSectionDiagram(Canvas &canvas, const Section &section, int lastFlange, LengthUnit unit);

} // namespace corvane
