#pragma once

// The bend calculation of one section.
//
// In: the section's texts (flange outside lengths, bend angles, bend vees, rotation), the job's
// material and thickness texts, and the bend table. Out: a BendCalculation with the numbers those
// texts read as, and, for every bend, its K factor, internal radius (IR), bend allowance (BA),
// outside setback (OSSB) and bend deduction (BD) (bendformulas.h) and whether its table lookup
// succeeded; for every flange its flat (developed) length and its straight length between the
// bend zones; the unfolded length of the blank; and which vees are too wide for the flanges beside
// them. The texts are read here only: the report page and both diagrams are drawn from the
// calculation's numbers, and from the texts as typed only where a label shows them.
//
// Numbers follow the program's rules: every stored value is a single (float), the arithmetic
// between stores is done in double, pi is 3.14159 held as a single, and every subtraction from a
// flat length is stored before the next. The result depends on nothing but its inputs.

#include "bendtable/bendtable.h"
#include "ground/job.h"

#include <QString>

#include <array>

namespace corvane {

struct BendValues
{
    BendLookup::Status lookup = BendLookup::Status::NoRecord;
    float vee = 0.0f;        // V, the vee opening as read from the bend's vee text
    float angle = 0.0f;      // A, the absolute bend angle in degrees
    double enteredAngle = 0; // the angle as entered, with its sign
    float kFactor = 0.0f;
    float internalRadius = 0.0f;
    float ba = 0.0f;
    float ossb = 0.0f;
    float bd = 0.0f;

    bool found() const { return lookup == BendLookup::Status::Found; }
};

struct BendCalculation
{
    // Material not empty, thickness not 0 and the first flange above 0. When the gate fails,
    // nothing else below is computed and the vee colours stay as they were.
    bool gatePassed = false;
    // The flange at which the profile ends, or fails the gate, because its text reads to a number
    // that a single cannot hold (read as 0); -1 when the profile ends otherwise.
    int outOfRangeFlange = -1;
    QString material;
    // Why the bend table could not be read, when it could not: no bend was then looked up.
    QString tableError;
    float thickness = 0.0f;                    // T
    double rotation = 0;                       // the profile's rotation in degrees
    int lastFlange = -1;                       // flanges 0 to lastFlange; bends 0 to lastFlange - 1
    std::array<float, kFlangeCount> outside{}; // L
    std::array<float, kFlangeCount> flatLength{};
    std::array<float, kFlangeCount> straightLength{};
    std::array<BendValues, kBendCount> bends{};
    float unfoldedTotal = 0.0f; // sum of the flat lengths, unrounded
    std::array<bool, kBendCount> veeFailed{};
    bool veeError = false;

    int bendCount() const { return lastFlange > 0 ? lastFlange : 0; }
    // Whether flange i's row carries the bend values: a bend with a non-zero angle follows it.
    bool fullRow(int i) const { return i < lastFlange && bends[i].angle != 0.0f; }
    // A bend whose deduction should apply but could not be looked up.
    bool lookupMissing(int j) const { return fullRow(j) && !bends[j].found(); }
    // The distance of station i from the left end of the blank: the flat lengths of flanges 0 to
    // i - 1 summed in single precision, unrounded. Station j + 1 is the line of bend j.
    float distanceFromLeft(int i) const;
    // What the report line says of the section: "ok", "vee error", "bend not in table", "no
    // material or thickness" or "length out of range".
    QString status() const;
};

BendCalculation calculateSection(const Section &section, const QString &material,
                                 const QString &thicknessText, const BendTable &table);

// Brings the section's vee colours up to date with a calculation: every vee white, the failed ones
// red. A calculation whose gate failed leaves every colour as it was.
void applyVeeColours(Section &section, const BendCalculation &calculation);

} // namespace corvane
