#include "calculation/testbend.h"

#include "calculation/bendformulas.h"
#include "ground/numbers.h"

#include <cmath>

namespace corvane {

TestBendResult workOutTestBend(const TestBend &bend, const BendLookup &row)
{
    TestBendResult r;
    if (row.found())
        r.tableKFactor = row.kFactor;
    const float angle = std::fabs(bend.angle);
    if (!(bend.thickness > 0.0f))
        r.error = QStringLiteral("the thickness must be above 0");
    else if (!(angle > 0.0f && angle < 180.0f))
        r.error = QStringLiteral("the bend angle must lie between -180 and 180 degrees, neither "
                                 "included, and not be 0 (-90 is 90 bent the other way)");
    else if (!(bend.blank > 0.0f && bend.flange1 > 0.0f && bend.flange2 > 0.0f))
        r.error = QStringLiteral("the blank and both flanges must be longer than 0");
    else if (bend.radius && !(*bend.radius >= 0.0f))
        r.error = QStringLiteral("the measured inside radius must not be negative");
    else if (!bend.radius && !row.found())
        r.error = QStringLiteral("the bend table has no single row with an internal radius for "
                                 "this material, thickness and vee; give the inside radius "
                                 "measured");
    if (!r.ok())
        return r;
    r.internalRadius = bend.radius ? *bend.radius : row.internalRadius;
    const double radians = bendRadians(angle);
    r.bd = float(double(bend.flange1) + double(bend.flange2) - double(bend.blank));
    r.ossb = outsideSetback(r.internalRadius, bend.thickness, radians);
    r.ba = twoSetbacksLess(r.ossb, r.bd);
    r.kFactor = float((double(r.ba) / radians - double(r.internalRadius)) / bend.thickness);
    const std::pair<const char *, float> results[] = {{"bend deduction", r.bd},
                                                      {"outside setback", r.ossb},
                                                      {"bend allowance", r.ba},
                                                      {"K factor", r.kFactor}};
    for (const auto &[name, value] : results) {
        if (!std::isfinite(value)) {
            r.error = QStringLiteral("the %1 comes out as %2: the values given are too large to "
                                     "compute with")
                          .arg(QLatin1String(name), singleText(value));
            return r;
        }
    }
    if (r.kFactor > 1.0f)
        r.implausible = QStringLiteral("a K factor above 1 cannot be right: the flanges were "
                                       "likely measured on the inside, or the blank was shorter "
                                       "than given");
    else if (r.kFactor < 0.0f)
        r.implausible = QStringLiteral("a K factor below 0 cannot be right: the flanges were "
                                       "likely measured too long, or the blank was longer than "
                                       "given, or the inside radius is larger than the one used");
    return r;
}

float bendDeduction(float kFactor, float internalRadius, float thickness, float angle)
{
    const double radians = bendRadians(angle);
    return twoSetbacksLess(outsideSetback(internalRadius, thickness, radians),
                           bendAllowance(kFactor, internalRadius, thickness, radians));
}

} // namespace corvane
