#include "calculation/bendcalculation.h"

#include "calculation/bendformulas.h"
#include "ground/numbers.h"

#include <cmath>

namespace corvane {

namespace {

// Looks up bend j and works out its BA, OSSB and BD. A failed lookup leaves all of them 0.
BendValues bendValues(const Section &section, int j, const QString &material, float thickness,
                      const BendTable &table)
{
    BendValues bend;
    bend.vee = readSingle(section.vee(j).text());
    bend.enteredAngle = readNumber(section.angle(j));
    bend.angle = float(std::fabs(bend.enteredAngle));

    const BendLookup row = table.lookup(material, thickness, bend.vee);
    bend.lookup = row.status;
    if (!row.found())
        return bend;
    bend.kFactor = row.kFactor;
    bend.internalRadius = row.internalRadius;
    const double radians = bendRadians(bend.angle);
    bend.ba = bendAllowance(bend.kFactor, bend.internalRadius, thickness, radians);
    bend.ossb = outsideSetback(bend.internalRadius, thickness, radians);
    bend.bd = twoSetbacksLess(bend.ossb, bend.ba);
    return bend;
}

float less(float value, double amount)
{
    return float(double(value) - amount);
}

} // namespace

float BendCalculation::distanceFromLeft(int i) const
{
    float distance = 0.0f;
    for (int k = 0; k < i; ++k)
        distance = float(double(distance) + double(flatLength[k]));
    return distance;
}

QString BendCalculation::status() const
{
    if (outOfRangeFlange >= 0)
        return QStringLiteral("length out of range");
    if (!gatePassed)
        return QStringLiteral("no material or thickness");
    if (veeError)
        return QStringLiteral("vee error");
    for (int j = 0; j < bendCount(); ++j) {
        if (lookupMissing(j))
            return QStringLiteral("bend not in table");
    }
    return QStringLiteral("ok");
}

BendCalculation calculateSection(const Section &section, const QString &material,
                                 const QString &thicknessText, const BendTable &table)
{
    BendCalculation c;
    c.material = material;
    c.thickness = readSingle(thicknessText);
    c.rotation = readNumber(section.rotate().text());
    for (int i = 0; i < kFlangeCount; ++i)
        c.outside[i] = readSingle(section.outside(i));
    for (int i = 0; i < kFlangeCount; ++i) {
        if (c.outside[i] == 0.0f) {
            if (readNumberText(section.outside(i)).range != NumberReading::Range::Fits)
                c.outOfRangeFlange = i;
            break;
        }
    }
    c.gatePassed = !material.isEmpty() && c.thickness != 0.0f && c.outside[0] > 0.0f;
    if (!c.gatePassed)
        return c;
    c.tableError = table.readError();

    // The profile ends before the first flange whose length is exactly 0; a negative length does
    // not end it.
    c.lastFlange = kFlangeCount - 1;
    for (int i = 0; i < kFlangeCount; ++i) {
        if (c.outside[i] == 0.0f) {
            c.lastFlange = i - 1;
            break;
        }
    }
    for (int j = 0; j < c.lastFlange; ++j)
        c.bends[j] = bendValues(section, j, material, c.thickness, table);

    auto checkVee = [&c](int j, int flange) {
        const float halfVee = float(double(c.bends[j].vee) / 2.0);
        if (halfVee > c.straightLength[flange]) {
            c.veeFailed[j] = true;
            c.veeError = true;
        }
    };

    const int last = c.lastFlange;
    for (int i = 0; i <= last; ++i) {
        const float length = c.outside[i];
        if (length <= 0.0f)
            continue;
        float flat = length;
        float straight = length;
        if (last == 0) {
            // A single flange: nothing is bent.
        } else if (i == 0) {
            if (c.bends[0].angle != 0.0f)
                flat = flatNextToBend(flat, c.bends[0].bd);
            straight = less(flat, double(c.bends[0].ba) / 2.0);
        } else if (i < last) {
            if (c.bends[i].angle != 0.0f)
                flat = flatNextToBend(flat, c.bends[i].bd);
            if (c.bends[i - 1].angle != 0.0f)
                flat = flatNextToBend(flat, c.bends[i - 1].bd);
            straight = less(flat, (double(c.bends[i - 1].ba) + double(c.bends[i].ba)) / 2.0);
        } else {
            if (c.bends[i - 1].angle != 0.0f)
                flat = flatNextToBend(flat, c.bends[i - 1].bd);
            straight = less(flat, double(c.bends[i - 1].ba) / 2.0);
        }
        c.flatLength[i] = flat;
        c.straightLength[i] = straight;

        if (last > 0) {
            if (i < last)
                checkVee(i, i);
            if (i > 0)
                checkVee(i - 1, i);
        }
        if (flat != 0.0f)
            c.unfoldedTotal = float(double(c.unfoldedTotal) + double(flat));
    }
    return c;
}

void applyVeeColours(Section &section, const BendCalculation &calculation)
{
    if (!calculation.gatePassed)
        return;
    for (int j = 0; j < kBendCount; ++j)
        section.setVeeRed(j, calculation.veeFailed[j]);
}

} // namespace corvane
