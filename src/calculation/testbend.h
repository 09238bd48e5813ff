#pragma once

// The K factor from a test bend: a strip of known flat length bent once, its two flanges measured
// on the outside. The bend deduction is what the flanges have more than the blank; the outside
// setback follows from the inside radius and the thickness; the bend allowance is twice the setback
// less the deduction; the K factor is the allowance over the angle in radians, less the radius,
// over the thickness. The formulas are those of every bend (bendformulas.h), which, run forwards,
// give a section's bends.

#include "bendtable/bendtable.h"

#include <QString>

#include <optional>

namespace corvane {

struct TestBend
{
    float thickness = 0.0f;
    float angle = 0.0f;   // degrees; a bend the other way (negative) is the same bend
    float blank = 0.0f;   // the strip's flat length before bending
    float flange1 = 0.0f; // the two flanges as measured on the outside
    float flange2 = 0.0f;
    std::optional<float> radius; // the inside radius measured; else the table row's
};

struct TestBendResult
{
    QString error;               // why the K factor cannot be worked out; empty when it was
    float internalRadius = 0.0f; // the radius used: measured, or the table row's
    float bd = 0.0f;
    float ossb = 0.0f;
    float ba = 0.0f;
    float kFactor = 0.0f;
    // The table row's K factor, when the table has one row of the material, thickness and vee.
    std::optional<float> tableKFactor;
    // A K factor outside 0 to 1 cannot be right: the likely cause; empty otherwise.
    QString implausible;
    bool ok() const { return error.isEmpty(); }
};

// Works out the test bend; row is the table's record of its material, thickness and vee.
TestBendResult workOutTestBend(const TestBend &bend, const BendLookup &row);

// The bend deduction of a bend of the angle (degrees) with the K factor and inside radius, as a
// section's bend has it.
float bendDeduction(float kFactor, float internalRadius, float thickness, float angle);

} // namespace corvane
