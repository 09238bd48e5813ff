#pragma once

// The formulas of one bend, written once for the two that use them: a section's calculation
// (bendcalculation.h) runs them forwards from the bend table's K factor and inside radius, the test
// bend (testbend.h) backwards from a measured deduction to the K factor.
//
// A, the bend angle, in radians; T the thickness; IR the inside radius; K the K factor:
//   bend allowance  BA   = (K·T + IR)·A
//   outside setback OSSB = (IR + T)·tan(A/2)
//   bend deduction  BD   = 2·OSSB − BA, and so BA = 2·OSSB − BD
// Each result is stored as a single, the arithmetic done in double with pi as ground/numbers.h
// holds it (kPi), so that the same inputs give the same bits wherever they are worked out.

namespace corvane {

// The angle of a bend given in degrees, in radians; a bend the other way is the same bend.
double bendRadians(float angle);

float bendAllowance(float kFactor, float internalRadius, float thickness, double radians);
float outsideSetback(float internalRadius, float thickness, double radians);

// 2·OSSB − value: the deduction from the allowance, or the allowance from the deduction.
float twoSetbacksLess(float ossb, float value);

// The flat length of a flange of outside length next to one bend of the given deduction; a flange
// between two bends is taken down by each in turn.
float flatNextToBend(float outside, float bd);

} // namespace corvane
