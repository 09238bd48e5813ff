#include "calculation/bendformulas.h"

#include "ground/numbers.h"

#include <cmath>

namespace corvane {

double bendRadians(float angle)
{
    return double(std::fabs(angle)) * double(kPi) / 180.0;
}

float bendAllowance(float kFactor, float internalRadius, float thickness, double radians)
{
    return float((double(kFactor) * thickness + internalRadius) * radians);
}

float outsideSetback(float internalRadius, float thickness, double radians)
{
    return float((double(internalRadius) + thickness) * std::tan(radians / 2.0));
}

float twoSetbacksLess(float ossb, float value)
{
    return float(double(ossb) + double(ossb) - double(value));
}

float flatNextToBend(float outside, float bd)
{
    return float(double(outside) - double(bd) / 2.0);
}

} // namespace corvane
