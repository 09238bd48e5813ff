#include "diagrams/markingdiagram.h"

#include "ground/units.h"
#include "ground/numbers.h"

#include <QLocale>

#include <cmath>

namespace corvane {

namespace {

// A fraction of the blank's length U, as a single.
float at(double fraction, float u)
{
    return float(fraction * double(u));
}

float sum(float a, double b)
{
    return float(double(a) + b);
}

// The vee label's number: the vee text read as a number, with "." as the decimal separator like
// every number Corvane writes. A text that is not a number shows as it stands.
QString veeLabel(const QString &veeText, LengthUnit unit)
{
    bool ok = false;
    const float vee = QLocale::c().toFloat(veeText.trimmed(), &ok);
    if (!ok)
        return QStringLiteral("V ") + veeText;
    return QStringLiteral("V ") + formatLength(vee, unit);
}

void printCentred(Canvas &canvas, const QString &text, float x, float top)
{
    canvas.setCurrentX(float(double(x) - double(canvas.textWidth(text)) / 2.0));
    canvas.setCurrentY(top);
    canvas.print(text);
}

} // namespace

void drawArrowHead(Canvas &canvas, int direction, float size)
{
    const float a = float(0.01 * double(size) * direction);
    canvas.relativeLine(a, a);
    canvas.relativeLine(0, float(-0.02 * double(size) * direction));
    canvas.relativeLine(-a, a);
}

void drawMarkingDiagram(Canvas &canvas, const Section &section, const BendCalculation &calculation,
                        LengthUnit unit)
{
    const float u = calculation.unfoldedTotal;
    const int last = calculation.lastFlange;

    canvas.setSize(12000, 6000);
    canvas.setScaleLeft(-0.1f);
    canvas.setScaleWidth(sum(u, 0.2));
    canvas.addLabelMargin();
    canvas.setScaleTop(canvas.scaleLeft());
    canvas.setScaleHeight(float(double(canvas.scaleWidth()) * 8.0 / 12.0));

    canvas.clear();
    canvas.setPenWidth(1);
    canvas.setFont(kMarkingDiagramFont);
    if (!(double(u) + 0.2 > 0.0) || !std::isfinite(u))
        return;

    canvas.setPenWidth(4);
    canvas.box(0, at(0.1, u), u, at(0.3, u));
    canvas.setPenWidth(1);

    const float lineX = canvas.textHeight(QStringLiteral("X"));
    const float lineXXX = canvas.textHeight(QStringLiteral("XXX"));
    const float dotRadius = std::fabs(float(double(lineX) / 6.0));

    canvas.line(0, 0, 0, at(0.09, u));
    canvas.line(0, at(0.31, u), 0, at(0.4, u));
    canvas.filledDot(0, at(0.35, u), dotRadius);
    canvas.line(0, at(0.6, u), u, at(0.6, u));

    const float p = float(double(u) / (last + 1));
    float x = 0;
    float s = 0;
    for (int i = 0; i <= last; ++i) {
        const bool even = i % 2 == 0;
        // Distance of this station from the right end, above the blank.
        canvas.setCurrentX(x);
        canvas.setCurrentY(even ? 0.0f : -lineXXX);
        canvas.print(formatLength(roundHalfEven2(float(double(u) - s)), unit));

        canvas.line(x, at(0.35, u), sum(x, p), at(0.35, u));
        drawArrowHead(canvas, -1, u);

        s = calculation.distanceFromLeft(i + 1);
        x = sum(x, p);
        canvas.line(x, 0, x, at(0.09, u));
        canvas.line(x, at(0.31, u), x, at(0.4, u));

        const double angle = i < last ? calculation.bends[i].enteredAngle : 0.0;
        if (angle != 0.0) {
            const bool up = angle > 0;
            canvas.setDotted(!up);
            canvas.box(x, at(0.1, u), x, at(0.3, u));
            canvas.setDotted(false);

            const QString bend =
                (up ? QStringLiteral("Up ") : QStringLiteral("Dn ")) + doubleText(std::fabs(angle));
            printCentred(canvas, bend, x, even ? at(0.16, u) : sum(at(0.16, u), lineXXX));

            if (up) {
                canvas.line(x, at(0.5, u), x, at(0.6, u));
                canvas.relativeLine(float(-0.01 * double(u)), float(-0.01 * double(u)));
                canvas.relativeLine(float(0.02 * double(u)), 0);
                canvas.relativeLine(float(-0.01 * double(u)), float(0.01 * double(u)));
            } else {
                canvas.line(x, at(0.7, u), x, at(0.6, u));
                canvas.relativeLine(float(-0.01 * double(u)), float(0.01 * double(u)));
                canvas.relativeLine(float(0.02 * double(u)), 0);
                canvas.relativeLine(float(-0.01 * double(u)), float(-0.01 * double(u)));
            }
            const float base = at(0.6, u);
            printCentred(canvas, QStringLiteral("A ") + section.angle(i), x,
                         up ? base : float(double(base) - lineX));
            printCentred(canvas, veeLabel(section.vee(i).text(), unit), x,
                         up ? sum(base, lineX) : float(double(base) - 2.0 * double(lineX)));
        }

        // Distance of the next station from the left end, below the blank, ending one blank's
        // width left of the station.
        const QString fromLeft = formatLength(roundHalfEven2(s), unit);
        canvas.setCurrentX(float(double(x) - canvas.textWidth(fromLeft + QStringLiteral(" "))));
        canvas.setCurrentY(even ? float(double(at(0.4, u)) - lineXXX) : at(0.4, u));
        canvas.print(fromLeft);

        canvas.line(x, at(0.05, u), float(double(x) - p), at(0.05, u));
        drawArrowHead(canvas, +1, u);

        if (last > 0) {
            canvas.line(x, at(0.27, u), float(double(x) - p), at(0.27, u));
            drawArrowHead(canvas, +1, u);
            canvas.point(x, at(0.27, u));
            drawArrowHead(canvas, -1, u);
            const QString flat = formatLength(roundHalfEven2(calculation.flatLength[i]), unit);
            canvas.setCurrentX(
                float(double(x) - (double(canvas.textWidth(flat)) + double(p)) / 2.0));
            canvas.setCurrentY(at(0.24, u));
            canvas.print(flat);
        }
    }
    canvas.filledDot(x, at(0.05, u), dotRadius);
}

} // namespace corvane
