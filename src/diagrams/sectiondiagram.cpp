#include "diagrams/sectiondiagram.h"

#include "ground/units.h"
#include "ground/numbers.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

const QColor kFlangeGray(128, 128, 128);

// Walks the profile flange by flange: the direction of each flange and its drawn length.
class ProfileWalk
{
public:
    ProfileWalk(const BendCalculation &calculation, int scale)
        : m_calculation(calculation), m_scale(scale),
          m_theta(float(-calculation.rotation * double(kPi) / 180.0))
    {}

    // Direction and drawn length of flange i; flanges are visited in order from 0.
    void visit(int i)
    {
        if (i > 0)
            m_theta = float(double(m_theta) -
                            double(kPi) / 180.0 * m_calculation.bends[i - 1].enteredAngle);
        m_length = scaleLength(m_calculation.outside[i], m_scale);
    }
    float theta() const { return m_theta; }
    float length() const { return m_length; }

private:
    const BendCalculation &m_calculation;
    int m_scale;
    float m_theta;
    float m_length = 0.0f;
};

} // namespace

float scaleLength(float length, int scale)
{
    if (scale == 1)
        return length;
    if (length <= 0.0f)
        return 0.0f;
    return float(std::log(double(length)) + 1.0);
}

void drawSectionDiagram(Canvas &canvas, const BendCalculation &calculation, int scale,
                        LengthUnit unit)
{
    const int lastFlange = calculation.lastFlange;
    // Extents of the corner points; the origin always lies inside.
    float minX = 0, maxX = 0, minY = 0, maxY = 0;
    float x = 0, y = 0;
    ProfileWalk extents(calculation, scale);
    for (int i = 0; i <= lastFlange; ++i) {
        extents.visit(i);
        const double s = extents.length();
        x = float(x + s * std::cos(double(extents.theta())));
        y = float(y + s * std::sin(double(extents.theta())));
        if (x < minX)
            minX = x;
        if (y < minY)
            minY = y;
        if (x > maxX)
            maxX = x;
        if (y > maxY)
            maxY = y;
    }

    // Fit the profile's bounding square, plus 0.1 on each side, into the picture, then add a
    // margin for the labels.
    canvas.setSize(6000, 6000);
    canvas.setScaleLeft(float(double(minX) - 0.1));
    canvas.setScaleTop(float(double(minY) - 0.1));
    const float dX = float(std::fabs(double(maxX) - minX));
    const float dY = float(std::fabs(double(maxY) - minY));
    canvas.setScaleWidth(dY > dX ? float(double(dY) + 0.2) : float(double(dX) + 0.2));
    const float margin = canvas.addLabelMargin();
    canvas.setScaleTop(float(double(canvas.scaleTop()) - margin));
    canvas.setScaleHeight(canvas.scaleWidth());

    canvas.clear();
    canvas.setPenWidth(4);
    canvas.setFont(kSectionDiagramFont);
    x = 0;
    y = 0;
    canvas.line(0, 0, 0, 0);

    ProfileWalk walk(calculation, scale);
    for (int i = 0; i <= lastFlange; ++i) {
        walk.visit(i);
        const double s = walk.length();
        const float dx = float(s * std::cos(double(walk.theta())));
        const float dy = float(s * std::sin(double(walk.theta())));
        canvas.relativeLine(dx, dy, kFlangeGray);
        const float ex = canvas.currentX();
        const float ey = canvas.currentY();

        // The label sits above and to the left of the flange's midpoint, so it can only leave
        // the picture at its left or top edge; there it is moved in just far enough, since a
        // label cut at the edge reads as another length ("15/16" for "1 15/16").
        const QString label = formatLength(calculation.outside[i], unit);
        const QString placed = label + QStringLiteral("  ");
        const double labelX = (double(x) + ex) / 2.0 - canvas.textWidth(placed);
        const double labelY = (double(y) + ey) / 2.0 - canvas.textHeight(placed);
        canvas.setCurrentX(float(std::max(labelX, double(canvas.scaleLeft()))));
        canvas.setCurrentY(float(std::max(labelY, double(canvas.scaleTop()))));
        canvas.print(label);

        canvas.setCurrentX(ex);
        canvas.setCurrentY(ey);
        x = float(double(x) + dx);
        y = float(double(y) + dy);
    }
}

} // namespace corvane
